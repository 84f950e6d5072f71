// The main window's system menu read in the test program itself (Wine does not let another
// process read a window's menu): the language switch is named in the language it switches to
// and remembers that language for the next start, saying so in both languages.
#include "app/MainDlg.h"
#include "base/Language.h"
#include "base/LanguageChoice.h"
#include "base/Utf8.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

CWinApp g_testApp(L"Vantor menu tests");

// The items the program adds to the system menu; the system's own (commands from 0xF000 on)
// speak the system's language.
std::vector<std::wstring> SystemMenuTexts(CWnd& window) {
    std::vector<std::wstring> texts;
    HMENU menu = ::GetSystemMenu(window.m_hWnd, FALSE);
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        const UINT command = ::GetMenuItemID(menu, i);
        if (command == 0 || command >= 0xF000)
            continue;
        wchar_t text[128] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        texts.emplace_back(text);
    }
    return texts;
}

bool HasChinese(const std::wstring& text) {
    return std::any_of(text.begin(), text.end(), [](wchar_t c) {
        return (c >= 0x3000 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF);
    });
}

// Runs `open`, which shows a message box over `main`, answers the box from another thread and
// returns its text. The wait ends with the box; its limit only guards against one that never
// comes.
std::wstring AnswerMessageBox(HWND main, const std::function<void()>& open) {
    std::wstring said;
    std::thread answer([&] {
        for (int tries = 0; tries < 3000; ++tries) {
            for (HWND box = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); box != nullptr;
                 box = ::FindWindowExW(nullptr, box, L"#32770", nullptr)) {
                if (box == main || ::GetWindow(box, GW_OWNER) != main)
                    continue;
                // The box sets its text as it initialises: wait until it shows.
                wchar_t text[512] = {};
                if (!::IsWindowVisible(box) || ::GetWindowTextW(::GetDlgItem(box, 0xFFFF), text, 512) == 0)
                    continue;
                said = text;
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            ::Sleep(10);
        }
    });
    open();
    answer.join();
    return said;
}

// Points %APPDATA%, where the choice is remembered, at `folder` while it lives.
class AppData {
  public:
    explicit AppData(const fs::path& folder) { _wputenv_s(L"APPDATA", folder.c_str()); }
    ~AppData() { _wputenv_s(L"APPDATA", L""); }
    AppData(const AppData&) = delete;
    AppData& operator=(const AppData&) = delete;
};

class MainMenuTest : public ::testing::Test {
  protected:
    void TearDown() override { SetShownLanguage(Language::kChinese); }

    // Opens the main window in `shown`, switches the language from its system menu and returns
    // the menu's texts and what the message box said.
    std::pair<std::vector<std::wstring>, std::wstring> Switch(Language shown) {
        SetShownLanguage(shown);
        CMainDlg window;
        EXPECT_TRUE(window.Create(IDD_MAIN));
        std::vector<std::wstring> texts = SystemMenuTexts(window);
        const std::wstring said = AnswerMessageBox(
            window.m_hWnd, [&] { window.SendMessage(WM_SYSCOMMAND, IDM_SWITCH_LANGUAGE, 0); });
        window.DestroyWindow();
        return {texts, said};
    }
};

} // namespace

TEST_F(MainMenuTest, TheSwitchNamesTheOtherLanguageAndRemembersItForTheNextStart) {
    const fs::path folder = fs::current_path() / "menu-appdata";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const AppData appData(folder);

    const auto [chineseMenu, toEnglish] = Switch(Language::kChinese);
    ASSERT_FALSE(chineseMenu.empty());
    EXPECT_EQ(chineseMenu.back(), L"English");
    EXPECT_NE(std::find(chineseMenu.begin(), chineseMenu.end(), L"打开记录文件夹(&L)"), chineseMenu.end());
    EXPECT_EQ(RememberedLanguage(), Language::kEnglish);
    EXPECT_NE(toEnglish.find(L"下次启动时将使用英文界面。"), std::wstring::npos);
    EXPECT_NE(toEnglish.find(L"Vantor will speak English from its next start."), std::wstring::npos);

    const auto [englishMenu, toChinese] = Switch(Language::kEnglish);
    ASSERT_FALSE(englishMenu.empty());
    EXPECT_EQ(englishMenu.back(), L"中文");
    ASSERT_EQ(englishMenu.size(), chineseMenu.size());
    for (std::size_t i = 0; i + 1 < englishMenu.size(); ++i)
        EXPECT_FALSE(HasChinese(englishMenu[i])) << i << " " << WideToUtf8(englishMenu[i]);
    EXPECT_EQ(RememberedLanguage(), Language::kChinese);
    EXPECT_NE(toChinese.find(L"下次启动时将使用中文界面。"), std::wstring::npos);
    EXPECT_NE(toChinese.find(L"Vantor will speak Chinese from its next start."), std::wstring::npos);
    // The tests run with VANTOR_LANG set, which wins over the remembered choice.
    EXPECT_NE(toChinese.find(L"VANTOR_LANG"), std::wstring::npos);
}

TEST_F(MainMenuTest, AChoiceThatCannotBeSavedIsSaidInBothLanguages) {
    // A file where the settings folder should be: nothing can be written below it.
    const fs::path blocked = fs::current_path() / "menu-appdata-blocked";
    fs::remove_all(blocked);
    std::ofstream(blocked) << "not a folder\n";
    const AppData appData(blocked);
    const std::wstring said = Switch(Language::kEnglish).second;
    EXPECT_NE(said.find(L"未能保存界面语言的选择。"), std::wstring::npos);
    EXPECT_NE(said.find(L"The choice of language could not be saved."), std::wstring::npos);
}
