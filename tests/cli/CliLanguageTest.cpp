// vantor-cli speaks the language chosen at its start: English texts carry no Chinese character,
// the Chinese ones are as they always were, and without VANTOR_LANG the remembered choice and
// then the desktop's language decide.
#include "CliProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class CliLanguage : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/vantor-cli-language-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        fs::create_directory(folder / "config");
        std::ofstream(folder / "profile.ini") << "label = Orbel\n";
    }
    void TearDown() override { fs::remove_all(folder); }

    // `bench` in force for the run; `env` after the scratch ledger, bench and settings folder.
    int Run(const std::string& bench, const std::vector<std::string>& args, std::vector<std::string> env,
            std::string& text) const {
        std::ofstream(folder / "bench.txt") << "reset\n" << bench << "\n";
        fs::remove_all(folder / "ledger"); // a token seen before would bring the ledger's note
        env.insert(env.end(),
                   {"VANTOR_BENCH_FILE=" + (folder / "bench.txt").string(),
                    "VANTOR_LEDGER_DIR=" + (folder / "ledger").string(),
                    "XDG_CONFIG_HOME=" + (folder / "config").string(), "SO=Kw5Zp9", "UPIN=Ux4Tq2"});
        std::vector<std::string> lines;
        const int code = CliProcess(args, env).Finish(&lines);
        text.clear();
        for (const std::string& line : lines)
            text += line + "\n";
        return code;
    }

    fs::path folder;
};

// The first character of CJK text or full-width punctuation in UTF-8 `text`; empty when none.
std::string FirstChineseCharacter(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if ((lead & 0xF0) != 0xE0 || i + 2 >= text.size())
            continue; // U+3000..U+FFEF are all three bytes long
        const unsigned code = (lead & 0x0Fu) << 12 | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6 |
                              (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
        if ((code >= 0x3000 && code <= 0x9FFF) || (code >= 0xFF00 && code <= 0xFFEF))
            return text.substr(i, 3);
    }
    return std::string();
}

TEST(ChineseCharacterCheck, FindsCjkAndFullWidthOnly) {
    EXPECT_EQ(FirstChineseCharacter("Total: 1 — “done” é"), "");
    EXPECT_EQ(FirstChineseCharacter("SO PIN：x"), "：");
    EXPECT_EQ(FirstChineseCharacter("token 锁"), "锁");
    EXPECT_EQ(FirstChineseCharacter("a、b"), "、");
}

// Each command a script runs, in both languages: the English output holds not one Chinese
// character, the Chinese output what it always held.
TEST_F(CliLanguage, EnglishHasNoChineseAndChineseStaysAsItWas) {
    const std::string profile = (folder / "profile.ini").string();
    const struct {
        const char* name;
        std::string bench;
        std::vector<std::string> args;
        int exitCode;
        std::string chinese, english;
    } cases[] = {
        {"help",
         "",
         {"--help"},
         0,
         "用法：\n  vantor-cli [选项] info",
         "Usage:\n  vantor-cli [options] info"},
        {"usage refusal",
         "",
         {"wipe", "--count", "3"},
         2,
         "--count 和 --idle 只用于 watch 和 station（vantor-cli --help 显示用法）\n",
         "--count and --idle are for watch and station only (vantor-cli --help shows the usage)\n"},
        {"wipe",
         "insert 0 so=Kw5Zp9",
         {"--module", VANTOR_STANDIN_PATH, "wipe", "--so-pin-env", "SO"},
         0,
         "初始化为空锁成功，请更换USBKey\n",
         "Token wiped to blank. Plug in the next token\n"},
        {"PKI initialisation",
         "insert 0 type=blank",
         {"--module", VANTOR_STANDIN_PATH, "init", "--profile", profile, "--so-pin-env", "SO",
          "--user-pin-env", "UPIN"},
         0,
         "初始化为PKI应用成功，请更换USBKey\n",
         "Token initialised as PKI. Plug in the next token\n"},
        {"info",
         "insert 0 serial=0123456789ABCDEF",
         {"--module", VANTOR_STANDIN_PATH, "info"},
         0,
         "硬件序列号：0123456789ABCDEF\n",
         "Hardware serial number: 0123456789ABCDEF\n"},
        {"standard info",
         "insert 0 serial=0123456789ABCDEF",
         {"--module", VANTOR_STANDIN_NOAUX_PATH, "info"},
         0,
         "\n序列号：0123456789ABCDEF\n",
         "\nSerial number: 0123456789ABCDEF\n"},
        {"watch summary",
         "insert 0 so=Kw5Zp9",
         {"--module", VANTOR_STANDIN_PATH, "watch", "wipe", "--so-pin-env", "SO", "--count", "1"},
         0,
         "\n总数：1 成功：1 失败：0\n",
         "\nTotal: 1 Succeeded: 1 Failed: 0\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text;
        EXPECT_EQ(Run(c.bench, c.args, {"VANTOR_LANG=zh"}, text), c.exitCode) << text;
        EXPECT_NE(text.find(c.chinese), std::string::npos) << text;
        EXPECT_EQ(Run(c.bench, c.args, {"VANTOR_LANG=en"}, text), c.exitCode) << text;
        EXPECT_NE(text.find(c.english), std::string::npos) << text;
        EXPECT_EQ(FirstChineseCharacter(text), "") << text;
    }
}

// Without VANTOR_LANG: a remembered choice first, then the desktop's language.
TEST_F(CliLanguage, RememberedChoiceThenDesktopLanguageDecide) {
    const std::string english = "--count and --idle are for watch and station only";
    const std::string chinese = "--count 和 --idle 只用于 watch 和 station";
    const struct {
        const char* name;
        const char* remembered; // nullptr: no choice remembered
        std::vector<std::string> env;
        const std::string& expected;
    } cases[] = {
        {"English desktop", nullptr, {"VANTOR_LANG", "LANG=en_US.UTF-8"}, english},
        {"Chinese desktop", nullptr, {"VANTOR_LANG", "LANG=zh_CN.UTF-8"}, chinese},
        {"remembered English", "en\n", {"VANTOR_LANG", "LANG=zh_CN.UTF-8"}, english},
        {"remembered Chinese", "zh\n", {"VANTOR_LANG", "LANG=en_US.UTF-8"}, chinese},
        {"VANTOR_LANG first", "en\n", {"VANTOR_LANG=zh", "LANG=en_US.UTF-8"}, chinese},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder / "config" / "vantor");
        if (c.remembered != nullptr) {
            fs::create_directory(folder / "config" / "vantor");
            std::ofstream(folder / "config" / "vantor" / "language.txt") << c.remembered;
        }
        std::vector<std::string> env = c.env;
        env.insert(env.end(), {"LC_ALL", "LC_MESSAGES"}); // the desktop speaks through LANG alone
        std::string text;
        EXPECT_EQ(Run("", {"wipe", "--count", "3"}, env, text), 2);
        EXPECT_NE(text.find(c.expected), std::string::npos) << text;
    }
}

} // namespace
