// Which language a program starts in, and the user's remembered choice read as hostile input.
#include "base/LanguageChoice.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

// Sets an environment variable for one test and puts the old value back.
class EnvironmentValue {
  public:
    EnvironmentValue(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        if (old != nullptr)
            old_ = old, hadOld_ = true;
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    ~EnvironmentValue() { hadOld_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

  private:
    const char* name_;
    std::string old_;
    bool hadOld_ = false;
};

} // namespace

TEST(Language, EnvironmentThenRememberedThenDesktopDecide) {
    EXPECT_EQ(ChooseLanguage(Language::kEnglish, Language::kChinese, Language::kChinese), Language::kEnglish);
    EXPECT_EQ(ChooseLanguage(std::nullopt, Language::kEnglish, Language::kChinese), Language::kEnglish);
    EXPECT_EQ(ChooseLanguage(std::nullopt, std::nullopt, Language::kChinese), Language::kChinese);

    EXPECT_EQ(LanguageNamed(" EN\r\n"), Language::kEnglish);
    EXPECT_EQ(LanguageNamed("zh"), Language::kChinese);
    for (const char* other : {"", "fr", "zhx", "z", "e\xE4"})
        EXPECT_FALSE(LanguageNamed(other)) << other;

    EnvironmentValue all("LC_ALL", nullptr), messages("LC_MESSAGES", nullptr);
    {
        EnvironmentValue lang("LANG", "zh_TW.UTF-8");
        EXPECT_EQ(DesktopLanguage(), Language::kChinese);
    }
    {
        EnvironmentValue lang("LANG", "de_DE.UTF-8");
        EXPECT_EQ(DesktopLanguage(), Language::kEnglish);
    }
    EnvironmentValue chosen("VANTOR_LANG", "fr");
    EXPECT_FALSE(LanguageFromEnvironment()) << "a language the program does not speak is no choice";
}

TEST(Language, RememberedChoiceIsOnlyTheLineThisProgramWrites) {
    ScratchFolder scratch("vantor-language");
    EnvironmentValue config("XDG_CONFIG_HOME", scratch.root.c_str());
    EXPECT_FALSE(RememberedLanguage());

    ASSERT_TRUE(RememberLanguage(Language::kEnglish));
    EXPECT_EQ(RememberedLanguage(), Language::kEnglish);
    ASSERT_TRUE(RememberLanguage(Language::kChinese));
    EXPECT_EQ(RememberedLanguage(), Language::kChinese);

    const auto file = scratch.root / "vantor" / "language.txt";
    std::ofstream(file, std::ios::binary | std::ios::trunc) << std::string(100, 'e');
    EXPECT_FALSE(RememberedLanguage()) << "an oversized file";
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    EXPECT_FALSE(RememberedLanguage()) << "a folder in the file's place";
    EXPECT_FALSE(RememberLanguage(Language::kEnglish));
}
