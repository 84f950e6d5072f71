// vantor-cli given files that are no files of their kind: each refused with exit 2 and a message
// naming the file and why, at once (never an abort, never a hang), and nothing from a file or
// its name reaching the terminal unescaped.
#include "CliProcess.h"
#include "pki/PkiProfile.h"
#include "stock/StockList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

const std::string kNotRegular = "不是普通文件（文件夹、设备或管道）";

class FileInput : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/vantor-file-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        ASSERT_EQ(0, mkfifo((folder / "fifo").c_str(), 0600)); // nobody writes to it
        std::ofstream(folder / "bench.txt") << "reset\ninsert 0 type=blank\n";
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string File(const std::string& name, const std::string& bytes) const {
        std::ofstream(folder / name, std::ios::binary) << bytes;
        return (folder / name).string();
    }
    // A file one byte over `limit`, sparse: nothing is written.
    std::string Oversize(const std::string& name, std::size_t limit) const {
        const std::string path = File(name, "");
        fs::resize_file(path, limit + 1);
        return path;
    }
    int Run(std::vector<std::string> args, std::string& text) const {
        if (args.front() != "report" && args.front() != "--module") // the report binds no module
            args.insert(args.begin(), {"--module", VANTOR_STANDIN_PATH});
        std::vector<std::string> output;
        const int code = CliProcess(args, {"SO=Kw5Zp9", "UPIN=Ux4Tq2",
                                           "VANTOR_BENCH_FILE=" + (folder / "bench.txt").string(),
                                           "VANTOR_LEDGER_DIR=" + (folder / "ledger").string()})
                             .Finish(&output);
        text.clear();
        for (const std::string& line : output)
            text += line + "\n";
        return code;
    }

    struct Case {
        const char* name;
        std::vector<std::string> args;
        int exitCode;
        std::string shown;
    };
    // Each case's exit code and text; no escape or bell byte ever reaches the output.
    void Check(const std::vector<Case>& cases) const {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            std::string text;
            EXPECT_EQ(Run(c.args, text), c.exitCode) << text;
            EXPECT_NE(text.find(c.shown), std::string::npos) << text;
            EXPECT_EQ(text.find_first_of("\x1B\x07"), std::string::npos) << text;
        }
    }

    fs::path folder;
};

TEST_F(FileInput, EveryReaderRefusesWhatIsNoFileOfItsKind) {
    const std::string dir = folder.string(), fifo = (folder / "fifo").string();
    const auto wipe = [](const std::string& list) {
        return std::vector<std::string>{"wipe", "--stock", list, "--so-pin-env", "SO"};
    };
    const auto init = [](const std::string& profile) {
        return std::vector<std::string>{"init", "--profile",      profile, "--so-pin-env",
                                        "SO",   "--user-pin-env", "UPIN"};
    };
    const std::string unreadList = "有误：无法读取清单文件，";
    Check({
        {"stock: folder", wipe(dir), 2, unreadList + kNotRegular},
        {"stock: endless device", wipe("/dev/zero"), 2, unreadList + kNotRegular},
        {"stock: pipe", wipe(fifo), 2, unreadList + kNotRegular},
        {"stock: empty", wipe(File("empty.txt", "")), 2, "有误：清单中没有序列号"},
        {"stock: too large", wipe(Oversize("big.txt", kStockListMaxBytes)), 2,
         unreadList + "文件过大（上限 4 MB）"},
        {"stock: missing", wipe(dir + "/none.txt"), 2, unreadList + "文件不存在"},
        {"stock: no UTF-8", wipe(File("latin1.txt", "A1\nB\xE9\n")), 2, "第 2 行：含有无效的UTF-8"},
        {"stock: control bytes", wipe(File("esc.txt", "A1\n\x1B]0;x\x07\n")), 2,
         "第 2 行：不是序列号：\\x1B]0;x\\x07"},
        {"report: folder", {"report", "--stock", dir}, 2, unreadList + kNotRegular},
        {"report: endless device", {"report", "--stock", "/dev/zero"}, 2, unreadList + kNotRegular},
        {"profile: folder", init(dir), 2, "无法读取配置文件：" + dir + "，" + kNotRegular},
        {"profile: endless device", init("/dev/zero"), 2, "，" + kNotRegular},
        {"profile: pipe", init(fifo), 2, "，" + kNotRegular},
        {"profile: too large", init(Oversize("big.ini", kProfileMaxBytes)), 2, "，文件过大（上限 64 KB）"},
        {"profile: missing, its name escaped", init(dir + "/p\x1B]0;x\x07.ini"), 2,
         "p\\x1B]0;x\\x07.ini，文件不存在"},
        {"profile: no UTF-8", init(File("latin1.ini", "label=a\nlabel=\xE9\n")), 2,
         "latin1.ini，第2行：含有控制字符或无效的UTF-8"},
        {"profile: control bytes", init(File("esc.ini", "\x1B]0;x\x07=1\n")), 2,
         "esc.ini，第1行：含有控制字符或无效的UTF-8"},
        {"module: folder", {"--module", dir, "info"}, 2, "令牌模块 " + dir + " 无法使用：" + kNotRegular},
        {"module: device", {"--module", "/dev/zero", "info"}, 2, kNotRegular},
        {"module: pipe", {"--module", fifo, "info"}, 2, kNotRegular},
        {"module: empty file, refused by the loader", {"--module", File("empty.so", ""), "info"}, 4, ""},
    });
}

// The report's page goes only to a regular file, under any name the file system takes.
TEST_F(FileInput, TheReportIsWrittenToRegularFilesOnly) {
    std::string text;
    ASSERT_EQ(Run({"info"}, text), 0) << text; // today's ledger line
    const std::string page = (folder / "报告.html").string();
    Check({
        {"report: a page under a Chinese name", {"report", "--out", page}, 0, "报告已写入：" + page},
        {"report: onto a pipe nobody reads",
         {"report", "--out", (folder / "fifo").string()},
         2,
         "无法写入报告：" + (folder / "fifo").string() + "，" + kNotRegular},
        {"report: onto a folder", {"report", "--out", folder.string()}, 2, kNotRegular},
    });
    EXPECT_TRUE(fs::is_regular_file(fs::u8path(page)));
}

// Every bad entry of a profile is named by file and line; a label takes up to 31 bytes of UTF-8
// (a space always follows it in its field), and one message refuses every label past that.
TEST_F(FileInput, ProfileErrorsNameTheLineAndOneRuleForTheLabel) {
    const auto init = [&](const std::string& name, const std::string& text) {
        return std::vector<std::string>{"init",           "--profile", File(name, text), "--so-pin-env", "SO",
                                        "--user-pin-env", "UPIN"};
    };
    std::string elevenChinese;
    for (int i = 0; i < 11; ++i)
        elevenChinese += "\xE4\xB8\xAD";
    Check({
        {"value out of range", init("r.ini", "[pki]\nlabel=A\nso_pin_max_retry=999\n"), 2,
         "r.ini，第3行：so_pin_max_retry：请输入一个介于 1 和 255 之间的整数。"},
        {"not a number", init("n.ini", "\npublic_size=12k\n"), 2,
         "n.ini，第2行：public_size：请输入一个正整数。"},
        {"unknown key", init("u.ini", "label=A\nlabl=B\n"), 2, "u.ini，第2行：配置文件中无法识别的行：labl"},
        {"label of 33 characters", init("l33.ini", "\nlabel=" + std::string(33, 'L') + "\n"), 2,
         "l33.ini，第2行：label：名称长度不在有效的范围内"},
        {"label of 33 bytes", init("c33.ini", "label=" + elevenChinese + "\n"), 2,
         "c33.ini，第1行：label：名称长度不在有效的范围内"},
        {"label of 32 bytes", init("l32.ini", "label=" + std::string(32, 'L') + "\n"), 2,
         "l32.ini，第1行：label：名称长度不在有效的范围内"},
        {"label of 31 bytes", init("l31.ini", "label=" + std::string(31, 'L') + "\n"), 0,
         "初始化为PKI应用成功"},
    });
}

} // namespace
