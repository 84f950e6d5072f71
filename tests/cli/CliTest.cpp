// vantor-cli as a script runs it: a separate process, its bench shared through a file.
#include "CliProcess.h"
#include "LedgerReader.h"
#include "StatusTexts.h"
#include "base/Utf8.h"
#include "pki/PkiProfile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kSoPin = "Kw5Zp9";   // the virtual tokens' SO PIN in these tests
const std::string kUserPin = "Ux4Tq2"; // never to be seen in any output

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/vantor-cli-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        Bench("reset");
    }
    void TearDown() override { fs::remove_all(folder); }

    // Appends bench lines; the stand-in in the running program picks them up at its next call.
    void Bench(const std::string& lines) const {
        std::ofstream(folder / "bench.txt", std::ios::app) << lines << "\n";
    }
    std::string File(const std::string& name, const std::string& content) const {
        std::ofstream(folder / name, std::ios::binary) << content;
        return (folder / name).string();
    }
    CliProcess Start(std::vector<std::string> args, std::vector<std::string> env = {},
                     const std::string& errorFile = std::string()) const {
        args.insert(args.begin(), {"--module", VANTOR_STANDIN_PATH});
        env.push_back("VANTOR_BENCH_FILE=" + (folder / "bench.txt").string());
        // Never the real profile's ledger; an entry given by the test comes first and wins.
        env.push_back("VANTOR_LEDGER_DIR=" + (folder / "ledger").string());
        return CliProcess(args, env, errorFile);
    }
    int Run(const std::vector<std::string>& args, std::vector<std::string>& output,
            const std::vector<std::string>& env = {"SO=" + kSoPin, "UPIN=" + kUserPin}) const {
        return Start(args, env).Finish(&output);
    }

    fs::path folder;
};

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// A flat JSON object of string values, as the program writes one per line; empty on any fault.
std::vector<std::pair<std::string, std::string>> ParseJsonObject(const std::string& line) {
    std::vector<std::pair<std::string, std::string>> fields;
    std::size_t i = 0;
    auto text = [&](std::string& out) {
        if (i >= line.size() || line[i++] != '"')
            return false;
        for (; i < line.size() && line[i] != '"'; ++i) {
            if (line[i] != '\\') {
                out += line[i];
                continue;
            }
            const char c = line[++i];
            if (c == 'u') {
                out += static_cast<char>(std::stoi(line.substr(i + 1, 4), nullptr, 16));
                i += 4;
            } else {
                out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
            }
        }
        return i++ < line.size();
    };
    if (line.empty() || line[i++] != '{')
        return {};
    for (bool more = line[i] != '}'; more;) {
        std::string key, value;
        if (!text(key) || line[i++] != ':' || !text(value))
            return {};
        fields.emplace_back(key, value);
        more = line[i] == ',';
        ++i;
    }
    return line.back() == '}' ? fields : decltype(fields){};
}

std::map<std::string, std::string> JsonMap(const std::string& line) {
    std::map<std::string, std::string> map;
    for (const auto& field : ParseJsonObject(line))
        map[field.first] = field.second;
    return map;
}

// Every exit code a script acts on, with the text that explains it and never a PIN.
TEST_F(CliTest, ExitCodesFollowTheOperationsReports) {
    const std::string profile = File("profile.ini", "label = Orbel\n");
    const std::string badRetry = File("bad.ini", "[pki]\nso_pin_max_retry = 0\n");
    const struct {
        const char* name;
        const char* bench;
        std::vector<std::string> args;
        int exitCode;
        std::string shown;
    } cases[] = {
        {"info", "insert 0 serial=0123456789ABCDEF", {"info"}, 0, "硬件序列号：0123456789ABCDEF"},
        {"info without token", "", {"info"}, 3, WideToUtf8(msg::kInsertToken)},
        {"wipe, listing fails",
         "insert 0\nfail C_GetSlotList 0x30 always",
         {"wipe", "--so-pin-env", "SO"},
         4,
         WideToUtf8(msg::kInitModuleFailed)},
        {"wipe", "insert 0 so=Kw5Zp9", {"wipe", "--so-pin-env", "SO"}, 0, WideToUtf8(msg::kBlankDone)},
        {"wipe, wrong PIN",
         "insert 0 so=tamsel",
         {"wipe", "--so-pin-env=SO"},
         1,
         WideToUtf8(msg::kSoPinWrong)},
        {"init",
         "insert 0 type=blank",
         {"init", "--profile", profile, "--so-pin-env", "SO", "--user-pin-env", "UPIN"},
         0,
         WideToUtf8(msg::kPkiDone)},
        {"init, retry out of range",
         "insert 0",
         {"init", "--profile", badRetry, "--so-pin-env", "SO", "--user-pin-env", "UPIN"},
         2,
         "so_pin_max_retry：请输入一个介于 1 和 255 之间的整数。"},
        {"init, profile is a folder",
         "insert 0",
         {"init", "--profile", folder.string(), "--so-pin-env", "SO", "--user-pin-env", "UPIN"},
         2,
         "无法读取配置文件："},
        {"watch init",
         "insert 0 type=blank serial=00000000000000D1",
         {"watch", "init", "--count", "1", "--profile", profile, "--so-pin-env", "SO", "--user-pin-env",
          "UPIN"},
         0,
         WideToUtf8(msg::kPkiDone) + "\n总数：1 成功：1 失败：0"},
        {"watch without slot events",
         "fail C_WaitForSlotEvent 0x30 always",
         {"watch", "wipe", "--so-pin-env", "SO"},
         4,
         WideToUtf8(msg::kInitModuleFailed)},
        {"init, short PIN",
         "insert 0",
         {"init", "--profile", profile, "--so-pin-env", "SO", "--user-pin-env", "SHORT"},
         2,
         WideToUtf8(msg::kPinLength)},
        {"PIN on the command line", "insert 0", {"wipe", "--so-pin", kSoPin}, 2, "PIN不能在命令行中给出"},
        {"PIN joined to its option",
         "insert 0",
         {"wipe", "--user-pin=" + kUserPin},
         2,
         "PIN不能在命令行中给出"},
        {"PIN as a stray word", "insert 0", {"wipe", kSoPin}, 2, "多余的参数"},
        {"PIN after a mistyped separator", "insert 0", {"wipe", "--so-pin:" + kSoPin}, 2, "（--so-pin）"},
        {"unknown option with a value", "insert 0", {"wipe", "--pim:" + kSoPin}, 2, "未知选项：--…（"},
        {"no terminal for the prompt", "insert 0", {"wipe"}, 2, "没有PIN来源"},
        {"environment variable unset",
         "insert 0",
         {"wipe", "--so-pin-env", "NOT_SET"},
         2,
         "未设置环境变量：NOT_SET"},
        {"no module there",
         "",
         {"--module", "/nonexistent/liborbelcsp11.so", "info"},
         4,
         WideToUtf8(msg::kLoadModuleFailed)},
        // A module named without the extension is driven through standard calls.
        {"standard calls: information",
         "insert 0 serial=01A2000000003C4D cos=3.7",
         {"--module", VANTOR_STANDIN_NOAUX_PATH, "info"},
         0,
         "序列号：01A2000000003C4D\n制造商：Orbel\n型号：USBKey\n硬件版本：1.0\n固件版本：3.7"},
        {"standard calls: SO PIN locked",
         "insert 0 so-left=0",
         {"--module", VANTOR_STANDIN_NOAUX_PATH, "wipe", "--so-pin-env", "SO"},
         1,
         "管理员PIN已锁定，无法清空"},
        {"standard calls: final try, no terminal",
         "insert 0 so-left=1",
         {"--module", VANTOR_STANDIN_NOAUX_PATH, "wipe", "--so-pin-env", "SO"},
         1,
         "已取消"},
        {"standard calls: final try in a batch",
         "insert 0 so-left=1",
         {"--module", VANTOR_STANDIN_NOAUX_PATH, "watch", "wipe", "--count", "1", "--so-pin-env", "SO"},
         1,
         "批量模式下不尝试"},
        {"standard calls: PIN pad",
         "insert 0 misbehave=pin-pad",
         {"--module", VANTOR_STANDIN_NOAUX_PATH, "init", "--profile", profile, "--so-pin-env", "SO",
          "--user-pin-env", "UPIN", "--current-so-pin-env", "SO"},
         1,
         "该锁通过PIN键盘输入PIN"},
        {"standard calls: wipe, read back",
         "insert 0 so=Kw5Zp9",
         {"--module", VANTOR_STANDIN_NOAUX_PATH, "wipe", "--so-pin-env", "SO"},
         0,
         "初始化为空锁成功，请更换USBKey"},
        {"standard calls: init of a blank token, read back",
         "insert 0 type=blank",
         {"--module", VANTOR_STANDIN_NOAUX_PATH, "init", "--profile", profile, "--so-pin-env", "SO",
          "--user-pin-env", "UPIN"},
         0,
         "初始化为PKI应用成功，请更换USBKey"},
        {"standard calls: init, the module appends to the label",
         "insert 0 type=blank misbehave=label-suffix",
         {"--module", VANTOR_STANDIN_NOAUX_PATH, "init", "--profile", profile, "--so-pin-env", "SO",
          "--user-pin-env", "UPIN"},
         0,
         "初始化为PKI应用成功，请更换USBKey"},
        {"standard calls: init, the module moves the token to another slot",
         "insert 0 type=blank misbehave=moves serial=00000000000000A1",
         {"--module", VANTOR_STANDIN_NOAUX_PATH, "init", "--profile", profile, "--so-pin-env", "SO",
          "--user-pin-env", "UPIN"},
         0,
         "初始化为PKI应用成功，请更换USBKey\n"},
        {"standard calls: wipe, the module moves the token to another slot",
         "insert 0 so=Kw5Zp9 misbehave=moves serial=00000000000000A2",
         {"--module", VANTOR_STANDIN_NOAUX_PATH, "wipe", "--so-pin-env", "SO"},
         0,
         "初始化为空锁成功，请更换USBKey\n"},
        {"standard calls: init with a new SO PIN, the old one wrong",
         "insert 0 so=tamsel",
         {"--module", VANTOR_STANDIN_NOAUX_PATH, "init", "--profile", profile, "--so-pin-env", "SO",
          "--user-pin-env", "UPIN", "--current-so-pin-env", "UPIN"},
         1,
         "管理员PIN错误"},
        {"standard calls: a token that is not initialised",
         "insert 0 type=blank",
         {"--module", VANTOR_STANDIN_NOAUX_PATH, "wipe", "--so-pin-env", "SO"},
         0,
         "已经是空锁类型了"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bench("reset\n" + std::string(c.bench));
        std::vector<std::string> output;
        EXPECT_EQ(Run(c.args, output, {"SO=" + kSoPin, "UPIN=" + kUserPin, "SHORT=abc"}), c.exitCode);
        const std::string text = Joined(output);
        EXPECT_NE(text.find(c.shown), std::string::npos) << text;
        EXPECT_EQ(text.find(kSoPin), std::string::npos) << text;
        EXPECT_EQ(text.find(kUserPin), std::string::npos) << text;
    }

    // The default module must carry the extension, as it always had to.
    std::vector<std::string> output;
    const std::string noAux = fs::path(VANTOR_STANDIN_NOAUX_PATH).parent_path().string();
    EXPECT_EQ(CliProcess({"info"}, {"LD_LIBRARY_PATH=" + noAux, "VANTOR_LEDGER_DIR=" + folder.string()})
                  .Finish(&output),
              4);
    EXPECT_NE(Joined(output).find("加载运行时库失败"), std::string::npos) << Joined(output);
}

// Each key fills its own field, and a bad profile is refused by file and line, none of its
// bytes shown, never by an exception.
TEST(Profile, KeysFillTheirFieldsAndBadFilesAreNamedByLine) {
    const ProfileRead read = ParseProfile(
        "label=Lb\nso_pin_max_retry=7\nuser_pin_max_retry=9\npublic_size=1234\nprivate_size=4321\n",
        L"p.ini");
    EXPECT_EQ(read.error, L"");
    EXPECT_EQ(read.params.strLabel, L"Lb");
    EXPECT_EQ(read.params.bySoPinMaxRetry, 7);
    EXPECT_EQ(read.params.byUserPinMaxRetry, 9);
    EXPECT_EQ(read.params.ulPublicSize, 1234u);
    EXPECT_EQ(read.params.ulPrivateSize, 4321u);
    const struct {
        std::string text;
        const wchar_t* error;
    } bad[] = {
        {"label=A\n\x01\xFFQz7\x90=1\n", L"p.ini，第2行：含有控制字符或无效的UTF-8"},
        {std::string("label=Qz7\0x\n", 12), L"p.ini，第1行：含有控制字符或无效的UTF-8"},
        {"label=A\n\nlabel=Qz7\n", L"p.ini，第3行：label 重复"},
    };
    for (const auto& profile : bad)
        EXPECT_EQ(ParseProfile(profile.text, L"p.ini").error, profile.error);
    EXPECT_EQ(ReadProfile(L"/").error, L"无法读取配置文件：/，不是普通文件（文件夹、设备或管道）");
}

// The new PINs' lengths, checked alike by the PKI page and the console: 4 to 32 characters.
TEST(Profile, NewPinsOfFourToThirtyTwoCharacters) {
    const SecretText four(L"abcd"), thirtyTwo(std::wstring(32, L'u')), three(L"abc"),
        long33(std::wstring(33, L'x'));
    EXPECT_EQ(CheckNewPins(four, thirtyTwo), L"");
    EXPECT_EQ(CheckNewPins(three, four), msg::kPinLength);
    EXPECT_EQ(CheckNewPins(long33, four), msg::kPinLength);
    EXPECT_EQ(CheckNewPins(four, three), msg::kPinLength);
    EXPECT_EQ(CheckNewPins(four, long33), msg::kPinLength);
}

// A PIN file's first line is the PIN, whatever line end or byte-order mark it carries.
TEST_F(CliTest, PinFileGivesItsFirstLine) {
    for (const std::string& content : {kSoPin + "\r\nnext line\n", "\xEF\xBB\xBF" + kSoPin, kSoPin + "\n"}) {
        Bench("reset\ninsert 0 so=" + kSoPin);
        std::vector<std::string> output;
        EXPECT_EQ(Run({"wipe", "--so-pin-file", File("so.txt", content)}, output), 0) << Joined(output);
    }
    std::vector<std::string> output;
    EXPECT_EQ(Run({"wipe", "--so-pin-file", (folder / "missing.txt").string()}, output), 2);
}

// Empty when the file cannot be read: a process under /proc may end while it is read, and the
// stream then throws whatever its exception mask says.
std::string ReadAll(const fs::path& path) {
    try {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        return std::string();
    }
}

// JSON lines parse back with the ledger's columns in order, text escaped and kept as UTF-8.
TEST_F(CliTest, JsonLineCarriesTheLedgerColumns) {
    const std::string label = "中\"文\\x";
    Bench("insert 0 type=blank serial=00000000000000B5");
    std::vector<std::string> output;
    ASSERT_EQ(Run({"init", "--json", "--profile", File("p.ini", "label=\"" + label + "\"\n"), "--so-pin-env",
                   "SO", "--user-pin-env", "UPIN"},
                  output),
              0);
    ASSERT_EQ(output.size(), 1u) << Joined(output);
    const auto fields = ParseJsonObject(output[0]);
    const char* const columns[] = {"time",    "station", "user",        "operation",   "mode",
                                   "slot",    "serial",  "cos_version", "type_before", "label",
                                   "outcome", "rv",      "message"};
    ASSERT_GT(fields.size(), std::size(columns)) << output[0];
    for (std::size_t i = 0; i < std::size(columns); ++i)
        EXPECT_EQ(fields[i].first, columns[i]);
    auto map = JsonMap(output[0]);
    EXPECT_EQ(map["operation"], "pki");
    EXPECT_EQ(map["mode"], "single");
    EXPECT_EQ(map["label"], label);
    EXPECT_EQ(map["message"], WideToUtf8(msg::kPkiDone));
    // The ledger holds the line the JSON shows, field for field, and no PIN.
    LedgerFields shown;
    for (std::size_t i = 0; i < std::size(columns); ++i)
        shown.push_back(fields[i].second);
    std::vector<LedgerFields> rows = ReadLedgerRows(folder / "ledger");
    for (LedgerFields& row : rows)
        row.pop_back(); // the chain value, which the JSON line does not carry
    EXPECT_EQ(rows, std::vector<LedgerFields>{shown});
    std::string ledger;
    for (const auto& file : fs::directory_iterator(folder / "ledger"))
        ledger += ReadAll(file.path());
    EXPECT_EQ(ledger.find(kSoPin), std::string::npos);
    EXPECT_EQ(ledger.find(kUserPin), std::string::npos);
}

std::size_t Count(const std::string& text, const std::string& word) {
    std::size_t count = 0;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++count;
    return count;
}

// A ledger line that cannot be written is said after the outcome and ends the run with 5;
// --no-ledger does not try.
TEST_F(CliTest, LostLedgerLineEndsWithFive) {
    const std::string blocked = File("not-a-folder", "");
    const struct {
        std::vector<std::string> args;
        int exitCode;
    } runs[] = {{{"info"}, 5},
                {{"watch", "wipe", "--count", "1", "--so-pin-env", "SO"}, 5},
                {{"wipe", "--no-ledger", "--so-pin-env", "SO"}, 0}};
    for (const auto& run : runs) {
        SCOPED_TRACE(run.args.front() + " " + run.args.back());
        Bench("reset\ninsert 0 so=" + kSoPin);
        std::vector<std::string> output;
        EXPECT_EQ(Run(run.args, output, {"SO=" + kSoPin, "VANTOR_LEDGER_DIR=" + blocked}), run.exitCode);
        EXPECT_EQ(Joined(output).find("（记录未能写入）") != std::string::npos, run.exitCode == 5)
            << Joined(output);
    }
}

// --stock: a token off the list is refused without a module write, counted, recorded and
// ending with 1; one on it is wiped and the list's progress follows it; a malformed list ends
// with 2, naming the file and the line.
TEST_F(CliTest, StockListRefusesStrangers) {
    const std::string list = File("stock.csv", "serial\n00000000000000C1\n00000000000000C2\n");
    const std::string journal = (folder / "journal.txt").string();
    const std::vector<std::string> args = {"wipe", "--stock", list, "--so-pin-env", "SO"};
    Bench("insert 0 so=" + kSoPin + " serial=00000000000000D9");
    std::vector<std::string> output;
    EXPECT_EQ(Start(args, {"SO=" + kSoPin, "VANTOR_JOURNAL_FILE=" + journal}).Finish(&output), 1);
    EXPECT_EQ(output, (std::vector<std::string>{"该锁不在本批清单中", "本批清单：共 2 支，已完成 0 支"}));
    EXPECT_EQ(Count(ReadAll(journal), "E_Init"), 0u);
    std::vector<LedgerFields> rows = ReadLedgerRows(folder / "ledger");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(LedgerFields(rows[0].begin() + 3, rows[0].end() - 1),
              (LedgerFields{"wipe", "single", "0", "00000000000000D9", "1.05", "pki", "", "failure",
                            "0x00000001", "该锁不在本批清单中"}));

    Bench("reset\ninsert 0 so=" + kSoPin + " serial=00000000000000C2");
    output.clear();
    EXPECT_EQ(Run(args, output), 0);
    EXPECT_EQ(output.back(), "本批清单：共 2 支，已完成 1 支");

    // Through standard calls too: the stranger's token is never initialised.
    Bench("reset\ninsert 0 so=" + kSoPin + " serial=00000000000000D9");
    std::vector<std::string> standard = {"--module", VANTOR_STANDIN_NOAUX_PATH};
    standard.insert(standard.end(), args.begin(), args.end());
    output.clear();
    fs::remove(journal);
    EXPECT_EQ(Start(standard, {"SO=" + kSoPin, "VANTOR_JOURNAL_FILE=" + journal}).Finish(&output), 1);
    EXPECT_EQ(output.front(), "该锁不在本批清单中");
    EXPECT_EQ(Count(ReadAll(journal), "C_InitToken"), 0u);

    const std::string bad = File("bad.txt", "00000000000000C1\nnot a serial\n");
    output.clear();
    EXPECT_EQ(Run({"watch", "wipe", "--stock", bad, "--so-pin-env", "SO"}, output), 2);
    EXPECT_NE(Joined(output).find("bad.txt 有误：第 2 行"), std::string::npos) << Joined(output);
}

// Without a terminal the SO PIN's final try is declined: cancelled, not counted, nothing tried,
// nothing in the ledger, exit 1.
TEST_F(CliTest, FinalTryIsDeclinedWithoutATerminal) {
    Bench("insert 0 so-left=1 so=" + kSoPin);
    const std::string journal = (folder / "journal.txt").string();
    std::vector<std::string> output;
    EXPECT_EQ(
        Start({"wipe", "--json", "--so-pin-env", "SO"}, {"SO=" + kSoPin, "VANTOR_JOURNAL_FILE=" + journal})
            .Finish(&output),
        1);
    ASSERT_EQ(output.size(), 1u);
    auto map = JsonMap(output[0]);
    EXPECT_EQ(map["message"], WideToUtf8(msg::kCancelled));
    EXPECT_EQ(map["outcome"], "none");
    EXPECT_EQ(Count(ReadAll(journal), "E_InitBlankToken"), 0u);
    EXPECT_FALSE(fs::exists(folder / "ledger"));
}

// A watch wipe stops itself after the module refused the SO PIN (either of its two answers),
// so the token plugged in next does not spend a try on it.
TEST_F(CliTest, WatchWipeStopsAfterAWrongSoPin) {
    for (const char* refusal : {"so=tamsel", "so=Kw5Zp9\nfail E_InitBlankToken 0x07 once"}) {
        SCOPED_TRACE(refusal);
        Bench("reset");
        const std::string journal = (folder / (std::string("journal-") + refusal[0] + ".txt")).string();
        fs::remove(journal);
        CliProcess watch = Start({"watch", "wipe", "--count", "2", "--so-pin-env", "SO"},
                                 {"SO=" + kSoPin, "VANTOR_JOURNAL_FILE=" + journal});
        std::string line;
        ASSERT_TRUE(watch.NextLine(line));
        Bench(std::string("insert 0 ") + refusal);
        ASSERT_TRUE(watch.NextLine(line));
        EXPECT_EQ(line, WideToUtf8(msg::kSoPinWrong + msg::kBatchStopped));
        Bench("remove 0\ninsert 1 so=tamsel");
        std::vector<std::string> rest;
        EXPECT_EQ(watch.Finish(&rest), 1);
        EXPECT_EQ(rest, std::vector<std::string>{"总数：1 成功：0 失败：1"});
        EXPECT_EQ(Count(ReadAll(journal), "E_InitBlankToken"), 1u);
    }
}

// A watch run: one attempt at once, one per plug or pull, counted as the page counts; with
// --json the summary goes to standard error, so standard output holds JSON lines only.
TEST_F(CliTest, WatchRunsOneAttemptPerSlotEventUntilItsCount) {
    const std::string errors = (folder / "errors.txt").string();
    CliProcess watch =
        Start({"watch", "wipe", "--json", "--count", "2", "--so-pin-env", "SO"}, {"SO=" + kSoPin}, errors);
    const struct {
        const char* bench; // what the operator does before the attempt
        const char* outcome;
    } steps[] = {{"", "none"},
                 {"insert 0 so=Kw5Zp9", "success"},
                 {"remove 0", "none"},
                 {"insert 1 type=lock", "failure"}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.bench);
        if (*step.bench != '\0')
            Bench(step.bench);
        std::string line;
        ASSERT_TRUE(watch.NextLine(line));
        auto map = JsonMap(line);
        EXPECT_EQ(map["outcome"], step.outcome) << line;
        EXPECT_EQ(map["mode"], "batch");
    }
    std::vector<std::string> rest;
    EXPECT_EQ(watch.Finish(&rest), 1);
    EXPECT_TRUE(rest.empty()) << Joined(rest);
    EXPECT_EQ(ReadAll(errors), "总数：2 成功：1 失败：1\n");
}

// A watch run also ends on Ctrl+C and after its idle time, with its summary and exit code 0.
TEST_F(CliTest, WatchEndsOnInterruptAndWhenIdle) {
    for (bool interrupt : {true, false}) {
        SCOPED_TRACE(interrupt ? "interrupt" : "idle");
        Bench("reset");
        CliProcess watch = Start({"watch", "wipe", "--so-pin-env", "SO", "--idle", interrupt ? "600" : "1"},
                                 {"SO=" + kSoPin});
        std::string line;
        ASSERT_TRUE(watch.NextLine(line));
        EXPECT_EQ(line, WideToUtf8(msg::kInsertToken));
        if (interrupt)
            watch.Interrupt();
        std::vector<std::string> rest;
        EXPECT_EQ(watch.Finish(&rest), 0);
        EXPECT_EQ(rest, std::vector<std::string>{"总数：0 成功：0 失败：0"});
    }
}

// A station run: every plugged token at once, one JSON line each as it ends, a hung one
// abandoned after --limit as timed out, the summary on standard error, the exit code of watch;
// no PIN in any output.
TEST_F(CliTest, StationHandlesEveryTokenAndAbandonsAHungOne) {
    const std::string profile = File("profile.ini", "label = Station\n");
    const std::string errors = (folder / "errors.txt").string();
    Bench("insert 0 type=blank serial=00000000000000C0\ninsert 1 type=blank serial=00000000000000C1\n"
          "insert 2 type=blank serial=00000000000000C2\nhang E_InitPkiToken slot=2");
    CliProcess station = Start({"station", "init", "--json", "--count", "3", "--limit", "1", "--profile",
                                profile, "--so-pin-env", "SO", "--user-pin-env", "UPIN"},
                               {"SO=" + kSoPin, "UPIN=" + kUserPin}, errors);
    std::map<std::string, std::map<std::string, std::string>> bySlot;
    std::string line, output;
    while (bySlot.size() < 3 && station.NextLine(line)) {
        output += line;
        auto map = JsonMap(line);
        EXPECT_EQ(map["mode"], "station") << line;
        bySlot[map["slot"]] = map;
    }
    std::vector<std::string> rest;
    EXPECT_EQ(station.Finish(&rest), 1);
    EXPECT_TRUE(rest.empty()) << Joined(rest);
    ASSERT_EQ(bySlot.size(), 3u);
    EXPECT_EQ(bySlot["0"]["message"], WideToUtf8(msg::kPkiDone));
    EXPECT_EQ(bySlot["1"]["message"], WideToUtf8(msg::kPkiDone));
    EXPECT_EQ(bySlot["2"]["message"], "操作超时");
    EXPECT_EQ(bySlot["2"]["outcome"], "failure");
    EXPECT_EQ(bySlot["2"]["serial"], "00000000000000C2");
    const std::string shown = ReadAll(errors);
    EXPECT_EQ(shown, "总数：3 成功：2 失败：1\n");
    EXPECT_EQ(ReadLedgerRows(folder / "ledger").size(), 3u);
    for (const std::string& pin : {kSoPin, kUserPin})
        EXPECT_EQ((output + shown).find(pin), std::string::npos);
}

// No argument's text beyond a plain option name ever reaches the output: a PIN glued to any
// option, in any form, on any command, is refused with the option's name alone; an unknown
// option's control characters are cut off with everything after its name.
TEST_F(CliTest, NothingOfAnArgumentBeyondItsOptionNameIsShown) {
    const std::string secret = "Qv7secret";
    const std::string profile = File("profile.ini", "label = Orbel\n");
    const std::vector<std::vector<std::string>> commands = {
        {"info"},
        {"wipe"},
        {"init", "--profile", profile},
        {"watch", "wipe"},
        {"station", "init", "--profile", profile},
        {"slot-attempt", "wipe", "--slot", "0", "--serial", "00000000000000A1", "--pins-stdin"},
        {"report"},
        {"ledger", "verify"},
    };
    // The token commands after --module; the others are only known as the first word.
    auto run = [this](const std::vector<std::string>& args, std::vector<std::string>& output) {
        if (args[0] == "info" || args[0] == "wipe" || args[0] == "init" || args[0] == "watch" ||
            args[0] == "station")
            return Run(args, output);
        return CliProcess(args, {"VANTOR_LEDGER_DIR=" + (folder / "ledger").string()}).Finish(&output);
    };
    const std::vector<std::string> options = {"--so-pin",       "--user-pin",       "--pin", "--new-so-pin",
                                              "--new-user-pin", "--current-so-pin", "--x"};
    for (const auto& command : commands) {
        for (const std::string& option : options) {
            for (const std::string glue : {"", "=", ":", " ", "\n"}) {
                // "\n": the value as the next argument.
                std::vector<std::string> args = command;
                if (glue == "\n")
                    args.insert(args.end(), {option, secret});
                else
                    args.push_back(option + glue + secret);
                SCOPED_TRACE(command[0] + " " + option + " [" + glue + "]");
                std::vector<std::string> output;
                EXPECT_EQ(run(args, output), 2);
                const std::string text = Joined(output);
                EXPECT_EQ(text.find("secret"), std::string::npos) << text;
                // A known name is shown; of an unknown one ("--xQv7secret"?) nothing.
                EXPECT_NE(text.find(option == "--x" ? "--…" : option), std::string::npos) << text;
            }
        }
        std::vector<std::string> args = command;
        args.push_back("--pim\x1B]0;owned\x07");
        std::vector<std::string> output;
        EXPECT_EQ(run(args, output), 2);
        EXPECT_EQ(Joined(output).find_first_of("\x1B\x07"), std::string::npos) << command[0];
        EXPECT_EQ(Joined(output).find("owned"), std::string::npos) << command[0];
    }
}

// A PIN source that is empty, cut, garbled or not a file is refused with 2 before the module
// is even loaded: no call reaches the stand-in, and no byte of the PIN is shown.
TEST_F(CliTest, UnusablePinSourcesAreRefusedBeforeAnyModuleCall) {
    const std::string profile = File("profile.ini", "label = Orbel\n");
    const std::string gbk = "\xB9\xDC\xC0\xED"; // "管理" saved in the desktop's code page
    const struct {
        const char* name;
        std::string content; // the file's; "\x01folder": a folder; none for a variable
        std::string variable;
    } sources[] = {
        {"empty file", "", ""},
        {"folder",
         "\x01"
         "folder",
         ""},
        {"blank first line", "\r\nKw5Zp9\n", ""},
        {"NUL in the file", std::string("Kw5\0Zp9\n", 8), ""},
        {"control character", "Kw5\x1BZp9\n", ""},
        {"GBK bytes", gbk + "Zp9\n", ""},
        {"larger than a PIN file", std::string(5000, 'Z'), ""},
        {"empty variable", "", "EMPTY"},
        {"control character in a variable", "", "ESCAPED"},
        {"GBK bytes in a variable", "", "GBK"},
    };
    const std::vector<std::string> env = {"SO=" + kSoPin, "UPIN=" + kUserPin, "EMPTY=", "ESCAPED=Kw5\x1BZp9",
                                          "GBK=" + gbk + "Zp9"};
    Bench("insert 0 so=Kw5Zp9");
    for (const auto& source : sources) {
        std::vector<std::string> source_args;
        std::string named;
        if (!source.variable.empty()) {
            named = source.variable;
        } else if (source.content == "\x01"
                                     "folder") {
            named = folder.string();
        } else {
            named = File("pin.txt", source.content);
        }
        const std::string kind = source.variable.empty() ? "-file" : "-env";
        // Each PIN of each command that takes one.
        const std::vector<std::vector<std::string>> runs = {
            {"wipe", "--so-pin" + kind, named},
            {"watch", "wipe", "--so-pin" + kind, named},
            {"init", "--profile", profile, "--so-pin-env", "SO", "--user-pin" + kind, named},
            {"station", "init", "--profile", profile, "--so-pin" + kind, named, "--user-pin-env", "UPIN"},
            {"init", "--profile", profile, "--so-pin-env", "SO", "--user-pin-env", "UPIN",
             "--current-so-pin" + kind, named},
        };
        for (const auto& args : runs) {
            SCOPED_TRACE(std::string(source.name) + ": " + args[0] + " " + args[args.size() - 2]);
            const std::string journal = (folder / "journal.txt").string();
            fs::remove(journal);
            std::vector<std::string> output;
            std::vector<std::string> withJournal = env;
            withJournal.push_back("VANTOR_JOURNAL_FILE=" + journal);
            EXPECT_EQ(Start(args, withJournal).Finish(&output), 2);
            const std::string text = Joined(output);
            EXPECT_NE(text.find(named), std::string::npos) << text;
            for (const std::string& part : {std::string("Zp9"), gbk, std::string("\x1B")})
                EXPECT_EQ(text.find(part), std::string::npos) << text;
            const std::string calls = ReadAll(journal);
            EXPECT_EQ(Count(calls, "C_") + Count(calls, "E_"), 0u) << calls;
        }
    }
}

// A PIN typed at the terminal is checked as the other sources are: empty, with a control
// character or with bytes that are not UTF-8, it is refused with 2 before any module call.
TEST_F(CliTest, TerminalPinIsCheckedAsTheOtherSources) {
    const std::string journal = (folder / "journal.txt").string();
    for (const std::string& typed : {std::string(), std::string("Kw5\x1BZp9"), std::string("\xB9\xDCZp9")}) {
        SCOPED_TRACE(typed.size());
        fs::remove(journal);
        int terminal = -1;
        const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            setenv("VANTOR_BENCH_FILE", (folder / "bench.txt").c_str(), 1);
            setenv("VANTOR_LEDGER_DIR", (folder / "ledger").c_str(), 1);
            setenv("VANTOR_JOURNAL_FILE", journal.c_str(), 1);
            setenv("VANTOR_LANG", "zh", 1);
            execl(VANTOR_CLI_PATH, VANTOR_CLI_PATH, "--module", VANTOR_STANDIN_PATH, "wipe", nullptr);
            _exit(127);
        }
        // Typed once the prompt has turned the echo off, as an operator would.
        std::string output;
        char buffer[256];
        for (termios mode{}; tcgetattr(terminal, &mode) == 0 && (mode.c_lflag & ECHO) != 0;) {
            pollfd ready{terminal, POLLIN, 0};
            if (poll(&ready, 1, 10) > 0) {
                const ssize_t n = read(terminal, buffer, sizeof buffer);
                ASSERT_GT(n, 0) << output;
                output.append(buffer, static_cast<std::size_t>(n));
            }
        }
        const std::string line = typed + "\n";
        ASSERT_EQ(write(terminal, line.data(), line.size()), static_cast<ssize_t>(line.size()));
        for (pollfd ready{terminal, POLLIN, 0}; poll(&ready, 1, 60000) > 0;) {
            const ssize_t n = read(terminal, buffer, sizeof buffer);
            if (n <= 0)
                break; // the program has ended
            output.append(buffer, static_cast<std::size_t>(n));
        }
        close(terminal);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << output;
        EXPECT_NE(output.find("终端输入："), std::string::npos) << output;
        EXPECT_EQ(output.find("Zp9"), std::string::npos) << output;
        EXPECT_FALSE(fs::exists(journal)) << ReadAll(journal);
    }
}

// A station's child checks its PIN lines as a PIN file's line is checked: a line it cannot
// use ends the attempt as a failure with its result line, before any module call.
TEST_F(CliTest, StationChildRefusesUnusablePinLines) {
    for (const std::string& lines :
         {std::string("\n"), std::string("Kw5\0Zp9\n", 8), std::string("\xB9\xDCZp9\n")}) {
        SCOPED_TRACE(lines.size());
        const std::string journal = (folder / "journal.txt").string();
        fs::remove(journal);
        std::vector<std::string> output;
        CliProcess child(
            {"slot-attempt", "wipe", "--module", VANTOR_STANDIN_PATH, "--slot", "0", "--serial",
             "00000000000000A1", "--pins-stdin"},
            {"VANTOR_BENCH_FILE=" + (folder / "bench.txt").string(), "VANTOR_JOURNAL_FILE=" + journal},
            std::string(), File("lines.txt", lines));
        EXPECT_EQ(child.Finish(&output), 1);
        const std::string text = Joined(output);
        EXPECT_NE(text.find("result kind=1 "), std::string::npos) << text;
        EXPECT_EQ(text.find("Zp9"), std::string::npos) << text;
        EXPECT_FALSE(fs::exists(journal)) << ReadAll(journal);
    }
}

// A station's children take their PINs on standard input only: neither the PINs nor the
// variables they were read from are in a child's command line or environment.
TEST_F(CliTest, StationChildHoldsNoPinOutsideItsStandardInput) {
    const std::string profile = File("profile.ini", "label = NoPinHere\n");
    Bench("insert 0 type=blank serial=00000000000000E1\nhang E_InitPkiToken slot=0");
    CliProcess station = Start({"station", "init", "--json", "--count", "1", "--limit", "60", "--profile",
                                profile, "--so-pin-env", "SO", "--user-pin-env", "UPIN"},
                               {"SO=" + kSoPin, "UPIN=" + kUserPin, "KEPT=visible"});
    // The child is the one process whose command line carries this test's label.
    std::string cmdline, environ;
    for (int tries = 0; environ.find("VANTOR_BENCH_FILE=") == std::string::npos; ++tries) {
        ASSERT_LT(tries, 6000) << "no child seen";
        for (const auto& entry : fs::directory_iterator("/proc")) {
            const std::string line = ReadAll(entry.path() / "cmdline");
            if (line.find("slot-attempt") != std::string::npos &&
                line.find(std::string("label=NoPinHere\0", 16)) != std::string::npos) {
                cmdline = line;
                environ = ReadAll(entry.path() / "environ");
            }
        }
        if (environ.empty())
            usleep(10000); // the next look at /proc; the outcome decides nothing here
    }
    for (const std::string& pin : {kSoPin, kUserPin}) {
        EXPECT_EQ(cmdline.find(pin), std::string::npos);
        EXPECT_EQ(environ.find(pin), std::string::npos);
    }
    EXPECT_EQ(("\n" + environ).find(std::string("\0SO=", 4)), std::string::npos);
    EXPECT_EQ(environ.find(std::string("UPIN=")), std::string::npos);
    EXPECT_NE(environ.find("KEPT=visible"), std::string::npos) << "the rest is inherited";
    Bench("clear-faults"); // the held call returns and the station ends after its one token
    std::vector<std::string> rest;
    EXPECT_EQ(station.Finish(&rest), 0) << Joined(rest);
}

// On the standard path an initialisation spends the token's current SO PIN; when the module
// refuses it, watch and station stop taking tokens as after a wipe's wrong SO PIN.
TEST_F(CliTest, WrongCurrentSoPinStopsStandardInitRuns) {
    const std::string profile = File("profile.ini", "label = Orbel\n");
    for (const char* run : {"watch", "station"}) {
        SCOPED_TRACE(run);
        Bench("reset\ninsert 0 so=tamsel serial=00000000000000F0");
        const std::string journal = (folder / (std::string("journal-") + run + ".txt")).string();
        CliProcess process(
            {"--module", VANTOR_STANDIN_NOAUX_PATH, run, "init", "--json", "--count", "2", "--profile",
             profile, "--so-pin-env", "SO", "--user-pin-env", "UPIN", "--current-so-pin-env", "WRONG"},
            {"VANTOR_BENCH_FILE=" + (folder / "bench.txt").string(),
             "VANTOR_LEDGER_DIR=" + (folder / "ledger").string(), "VANTOR_JOURNAL_FILE=" + journal,
             "SO=" + kSoPin, "UPIN=" + kUserPin, "WRONG=Wr0ngPin"},
            (folder / "errors.txt").string());
        std::string line;
        ASSERT_TRUE(process.NextLine(line));
        const std::string stop = std::string(run) == "watch" ? WideToUtf8(msg::kBatchStopped)
                                                             : "，已停止接收新的锁，请核对管理员PIN";
        EXPECT_EQ(JsonMap(line)["message"], WideToUtf8(msg::kSoPinWrong)) << line;
        EXPECT_EQ(JsonMap(line)["note"], stop) << line;
        Bench("remove 0\ninsert 1 so=tamsel serial=00000000000000F1");
        std::vector<std::string> rest;
        EXPECT_EQ(process.Finish(&rest), 1) << Joined(rest);
        EXPECT_EQ(ReadAll(folder / "errors.txt"), "总数：1 成功：0 失败：1\n");
        EXPECT_EQ(Count(ReadAll(journal), "C_InitToken"), 1u);
    }
}

} // namespace
