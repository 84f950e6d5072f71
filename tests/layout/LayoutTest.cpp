// The window's layouts as a person sees them, at the scale the Wine prefix is set to
// (VANTOR_LAYOUT_DPI: run-layout.sh sets the prefix's LogPixels before this program starts)
// and in the language shown (VANTOR_LANG): the main window with its navigation bar, every page
// in each state that shows other controls, and the About box. Every text fits its control and
// no control lies over another; a picture of each goes to VANTOR_LAYOUT_DIR as
// <page>-<language>-<percent>.bmp, the language followed by "@" and the desktop's where they
// differ.
#include "app/AboutDlg.h"
#include "app/MainDlg.h"
#include "base/LanguageChoice.h"
#include "layout/ControlFit.h"
#include "layout/DrawnInk.h"
#include "layout/WindowPicture.h"
#include "res/resource.h"
#include "win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <memory>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// The test program's application object: the main window becomes its main window.
CWinApp g_layoutApp(L"Vantor layout tests");

// How COutlookBar draws an item's caption (controls/OutlookBar.cpp).
constexpr UINT kCaptionFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;

// The test program's folder, where the stand-in modules are built.
fs::path ProgramFolder() {
    wchar_t name[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, name, MAX_PATH);
    return fs::path(std::wstring(name, length)).parent_path();
}

std::wstring Environment(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value ? value : L"";
}

// A module message fails the test: the stand-in beside the program must bind.
class FailingSink final : public ModuleMessageSink {
  public:
    void ShowModuleMessage(unsigned messageId) override { ADD_FAILURE() << "module message " << messageId; }
};

class LayoutTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    // The page `index` of the bar as a click on its item shows it.
    static CWnd& ShowPage(int index);
    // Checks the controls of `page` (shown now) and keeps a picture of `window` as `name`.
    void CheckShown(HWND page, const std::string& name, HWND window = nullptr);
    // Binds the stand-in without its vendor extension (`bStandard`) or with it, as the main
    // window's module items do, and lets both pages that depend on it show the binding.
    void Bind(bool bStandard);

    static std::string Where(const std::string& name);
    // The language shown, and the desktop's where it is another one: "zh", "en", "en@zh".
    static std::string Language();

    static int s_dpi;
    static std::string s_problem; // why there is no window to check
    static fs::path s_folder;
    static std::unique_ptr<CMainDlg> s_main;
};

int LayoutTest::s_dpi = 0;
std::string LayoutTest::s_problem;
fs::path LayoutTest::s_folder;
std::unique_ptr<CMainDlg> LayoutTest::s_main;

void LayoutTest::SetUpTestSuite() {
    SetShownLanguage(StartingLanguage());
    s_dpi = _wtoi(Environment(L"VANTOR_LAYOUT_DPI").c_str());
    s_folder = Environment(L"VANTOR_LAYOUT_DIR");
    if (s_dpi <= 0 || s_folder.empty()) {
        s_problem =
            "VANTOR_LAYOUT_DPI and VANTOR_LAYOUT_DIR must be set (tests/layout/run-layout.sh sets them)";
        return;
    }
    std::error_code error;
    fs::create_directories(s_folder, error);
    // Without the stand-in beside the program the main window would stop at a message box.
    if (!fs::exists(ProgramFolder() / VANTOR_TOKEN_MODULE_NAME)) {
        s_problem = "no stand-in module beside the test program";
        return;
    }
    s_main = std::make_unique<CMainDlg>();
    AfxGetApp()->m_pMainWnd = s_main.get();
    if (!s_main->Create(IDD_MAIN, nullptr) || !::IsWindow(s_main->GetSafeHwnd())) {
        s_problem = "the main window could not be made";
        return;
    }
    // Top left, so that even the largest scale has the whole window on the screen.
    s_main->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (!wintest::PumpUntil([] { return s_main->m_pageStation.GetSafeHwnd() != nullptr; }))
        s_problem = "the main window made no station page";
}

void LayoutTest::TearDownTestSuite() {
    if (s_main && s_main->GetSafeHwnd() != nullptr)
        s_main->DestroyWindow();
    s_main.reset();
    AfxGetApp()->m_pMainWnd = nullptr;
    wintest::HandlePending();
}

void LayoutTest::SetUp() {
    ASSERT_TRUE(s_problem.empty()) << s_problem;
    ASSERT_TRUE(s_main != nullptr);
}

CWnd& LayoutTest::ShowPage(int index) {
    ::SendMessageW(s_main->GetSafeHwnd(), WM_OUTLOOKBAR_CLICK, static_cast<WPARAM>(index), IDC_MAIN_NAV_BAR);
    CWnd* pages[] = {&s_main->m_pageWipe, &s_main->m_pagePki, &s_main->m_pageInfo, &s_main->m_pageStation};
    return *pages[index];
}

std::string LayoutTest::Language() {
    const std::string shown = LanguageCode(ShownLanguage());
    return DesktopLanguage() == ShownLanguage() ? shown : shown + "@" + LanguageCode(DesktopLanguage());
}

std::string LayoutTest::Where(const std::string& name) {
    std::ostringstream where;
    where << name << " [" << Language() << ", " << s_dpi * 100 / 96 << " %]";
    return where.str();
}

void LayoutTest::CheckShown(HWND page, const std::string& name, HWND window) {
    window = window ? window : s_main->GetSafeHwnd();
    ASSERT_TRUE(::IsWindowVisible(page)) << Where(name) << " is not shown";
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    wintest::HandlePending();
    for (const std::string& problem : layout::CheckControls(page, Where(name)))
        ADD_FAILURE() << problem;

    // The picture needs the whole window on the screen: the part beyond its edge is never painted.
    RECT outer{};
    ::GetWindowRect(window, &outer);
    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    EXPECT_TRUE(outer.left >= 0 && outer.top >= 0 && outer.right <= screen.right &&
                outer.bottom <= screen.bottom)
        << Where(name) << ": the window " << layout::Describe(outer) << " does not fit the screen "
        << layout::Describe(screen) << " (scripts/test.sh gives Xvfb -screen 0 1280x1024x24)";
    std::ostringstream file;
    file << name << "-" << Language() << "-" << s_dpi * 100 / 96 << ".bmp";
    EXPECT_TRUE(layout::SaveWindowPicture(window, s_folder / file.str())) << (s_folder / file.str()).string();
}

void LayoutTest::Bind(bool bStandard) {
    const fs::path module = bStandard ? ProgramFolder() / L"variants" / L"noaux" / VANTOR_TOKEN_MODULE_NAME
                                      : fs::path(VANTOR_TOKEN_MODULE_NAME);
    FailingSink sink;
    s_main->m_bench.Bind(std::make_unique<TokenModule>(module.wstring(), bStandard));
    ASSERT_EQ(s_main->m_bench.Module()->LoadTokenModule(sink), static_cast<CK_RV>(CKR_OK)) << module.string();
    ASSERT_EQ(s_main->m_bench.Module()->IsStandard(), bStandard);
    s_main->m_pagePki.EnableInputs();
    s_main->m_pageInfo.ClearFields();
}

// Guards against a scale that was asked for but not applied: every other test would then
// check the default scale again under another name.
TEST_F(LayoutTest, TheScaleAskedForIsInForce) {
    ClientDC screen(nullptr);
    EXPECT_EQ(::GetDeviceCaps(screen, LOGPIXELSY), s_dpi);
    EXPECT_EQ(::GetDeviceCaps(screen, LOGPIXELSX), s_dpi);
    // The face the pages' font resolves to on this desktop, for the reader of the log.
    HWND page = s_main->m_pageWipe.GetSafeHwnd();
    ClientDC dc(page);
    SelectScope font(dc, reinterpret_cast<HFONT>(::SendMessageW(page, WM_GETFONT, 0, 0)));
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextFaceW(dc, LF_FACESIZE, face);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    std::printf("%s: page font %s, %ld px high, %ld px average width; check box %d px\n",
                Where("screen").c_str(), layout::Quoted(face).c_str(), metrics.tmHeight,
                metrics.tmAveCharWidth, ::GetSystemMetrics(SM_CXMENUCHECK));
}

// Guards against a navigation caption cut at the bar's sides or bottom, or crossed by its icon
// or by the frame that marks the current page, and a page that reaches beyond the main window.
TEST_F(LayoutTest, MainWindowAndNavigationBar) {
    ShowPage(0);
    HWND bar = s_main->m_bar.GetSafeHwnd();
    ASSERT_NE(bar, nullptr);
    RECT client{};
    ::GetClientRect(bar, &client);
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(bar, WM_GETFONT, 0, 0));
    for (int item = 0; item < 4; ++item) {
        const BAR_ITEM* record = s_main->m_bar.GetItem(item);
        ASSERT_NE(record, nullptr);
        const std::wstring text = record->strText.ToStdWString();
        const int height =
            static_cast<int>(::SendMessageW(bar, LB_GETITEMHEIGHT, static_cast<WPARAM>(item), 0));
        // The item alone at the top of a surface twice its height, with room for what a cut hides.
        const CRect whole(0, 0, client.right, height);
        const RECT caption = s_main->m_bar.ItemCaption(whole);
        const layout::DrawnInk drawn =
            layout::DrawInk(font, text, SIZE{client.right, 2 * height}, caption, kCaptionFormat);
        const SIZE need = layout::TextExtent(bar, font, text);
        EXPECT_FALSE(drawn.bCut) << Where("navigation") << ": item " << item << " " << layout::Quoted(text)
                                 << " is cut: its ink " << layout::Describe(drawn.ink) << " (" << need.cx
                                 << "x" << need.cy << " px) in the caption's room "
                                 << layout::Describe(caption);
        const int above = s_main->m_bar.ItemFrame(whole).bottom;
        EXPECT_GE(drawn.ink.top, above)
            << Where("navigation") << ": item " << item << " " << layout::Quoted(text) << " has its ink "
            << layout::Describe(drawn.ink)
            << " under the icon or the current item's frame, which end at y=" << above;
    }
    RECT main{};
    ::GetClientRect(s_main->GetSafeHwnd(), &main);
    for (CWnd* page : {static_cast<CWnd*>(&s_main->m_pageWipe), static_cast<CWnd*>(&s_main->m_pagePki),
                       static_cast<CWnd*>(&s_main->m_pageInfo), static_cast<CWnd*>(&s_main->m_pageStation)}) {
        RECT rect{};
        ::GetWindowRect(page->GetSafeHwnd(), &rect);
        ::MapWindowPoints(nullptr, s_main->GetSafeHwnd(), reinterpret_cast<POINT*>(&rect), 2);
        RECT inside{};
        ::IntersectRect(&inside, &rect, &main);
        EXPECT_TRUE(::EqualRect(&inside, &rect))
            << Where("main") << ": page " << layout::Describe(rect) << " reaches beyond the client area "
            << layout::Describe(main);
    }
}

// Guards against texts of the wipe page cut or covered, alone and in a batch run's layout
// (Stop shown, Start back in its own place).
TEST_F(LayoutTest, WipePage) {
    CWnd& page = ShowPage(0);
    CheckShown(page.GetSafeHwnd(), "wipe");
    ::SendDlgItemMessageW(page.GetSafeHwnd(), IDC_WIPE_BATCH_CHECK, BM_CLICK, 0, 0);
    CheckShown(page.GetSafeHwnd(), "wipe-batch");
    ::SendDlgItemMessageW(page.GetSafeHwnd(), IDC_WIPE_BATCH_CHECK, BM_CLICK, 0, 0);
}

// Guards against texts of the PKI page cut or covered: alone, in a batch run with random user
// PINs (the length field and its caption in the user PIN's place), and on a module without
// the vendor extension (the current SO PIN in the note's place).
TEST_F(LayoutTest, PkiPage) {
    CWnd& page = ShowPage(1);
    CheckShown(page.GetSafeHwnd(), "pki");
    ::SendDlgItemMessageW(page.GetSafeHwnd(), IDC_PKI_BATCH_CHECK, BM_CLICK, 0, 0);
    ::SendDlgItemMessageW(page.GetSafeHwnd(), IDC_PKI_RANDOM_USER_PIN, BM_CLICK, 0, 0);
    CheckShown(page.GetSafeHwnd(), "pki-batch-random");
    ::SendDlgItemMessageW(page.GetSafeHwnd(), IDC_PKI_RANDOM_USER_PIN, BM_CLICK, 0, 0);
    ::SendDlgItemMessageW(page.GetSafeHwnd(), IDC_PKI_BATCH_CHECK, BM_CLICK, 0, 0);

    Bind(true);
    CheckShown(ShowPage(1).GetSafeHwnd(), "pki-standard");
    Bind(false);
}

// Guards against the information page's captions cut or covered, with the vendor's six
// fields and with the standard rows of a module without the vendor extension.
TEST_F(LayoutTest, InfoPage) {
    CheckShown(ShowPage(2).GetSafeHwnd(), "info");
    Bind(true);
    CheckShown(ShowPage(2).GetSafeHwnd(), "info-standard");
    Bind(false);
}

TEST_F(LayoutTest, StationPage) {
    CheckShown(ShowPage(3).GetSafeHwnd(), "station");
}

TEST_F(LayoutTest, AboutBox) {
    CAboutDlg about;
    ASSERT_TRUE(about.Create(IDD_ABOUTBOX, s_main.get()));
    about.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    about.ShowWindow(SW_SHOW);
    CheckShown(about.GetSafeHwnd(), "about", about.GetSafeHwnd());
    about.DestroyWindow();
}

// A child window of the test's own, destroyed with the test.
class Scratch {
  public:
    Scratch(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, RECT rect)
        : m_hwnd(::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, nullptr,
                                   nullptr)) {
        ::SendMessageW(m_hwnd, WM_SETFONT, ::SendMessageW(parent, WM_GETFONT, 0, 0), FALSE);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    ~Scratch() { ::DestroyWindow(m_hwnd); }
    HWND Get() const { return m_hwnd; }

  private:
    HWND m_hwnd;
};

// Guards the measure itself: a text too wide for its static, a check box's label under its
// box, a wrapped text too tall, a button across a group box's frame and two controls on top of
// each other are each found, and a text with room to spare is not.
TEST_F(LayoutTest, TheMeasureFindsWhatIsWrong) {
    HWND page = ShowPage(0).GetSafeHwnd();
    Scratch board(page, L"Static", L"", SS_LEFT, RECT{0, 0, 400, 200});
    ::SendMessageW(board.Get(), WM_SETFONT, ::SendMessageW(page, WM_GETFONT, 0, 0), FALSE);
    Scratch fits(board.Get(), L"Static", L"OK", SS_LEFT, RECT{0, 0, 200, 30});
    Scratch wide(board.Get(), L"Static", L"a text far wider than its room", SS_LEFTNOWORDWRAP,
                 RECT{0, 40, 30, 60});
    Scratch check(board.Get(), L"Button", L"Batch", BS_AUTOCHECKBOX, RECT{100, 40, 125, 60});
    Scratch tall(board.Get(), L"Static", L"one two three four five six seven eight", SS_LEFT,
                 RECT{0, 70, 40, 115});
    Scratch group(board.Get(), L"Button", L"Group", BS_GROUPBOX, RECT{200, 40, 300, 100});
    Scratch across(board.Get(), L"Button", L"&Go", BS_PUSHBUTTON, RECT{280, 80, 360, 110});
    Scratch over(board.Get(), L"Edit", L"", WS_BORDER, RECT{100, 150, 200, 170});
    Scratch under(board.Get(), L"Static", L"x", SS_LEFT, RECT{150, 160, 250, 190});

    const std::vector<std::string> problems = layout::CheckControls(board.Get(), "scratch");
    std::string all;
    for (const std::string& problem : problems)
        all += problem + "\n";
    for (const char* expected : {"\"a text far wider than its room\" needs", "\"Batch\" needs",
                                 "\"one two three four five six seven eight\" wrapped needs",
                                 "\"&Go\" in (280,80)-(360,110) lies across the frame of"})
        EXPECT_NE(all.find(expected), std::string::npos) << expected << " not found in:\n" << all;
    EXPECT_TRUE(std::any_of(problems.begin(), problems.end(), [](const std::string& problem) {
        return problem.find(" overlaps ") != std::string::npos &&
               problem.find("(100,150)-(200,170)") != std::string::npos;
    })) << all;
    EXPECT_EQ(all.find("\"OK\""), std::string::npos) << all;
}

// Last: a stock list stays in force once put, as it does in the program. Guards against the
// stock line under the status line cut or covered, in both initialisation pages' batch runs.
TEST_F(LayoutTest, StockLineInForce) {
    StockList list;
    std::vector<std::string> done;
    for (int serial = 0; serial < 10000; ++serial) {
        list.serials.push_back("SN" + std::to_string(100000 + serial));
        if (serial > 0)
            done.push_back(list.serials.back());
    }
    s_main->m_bench.Stock().Put(list, done);
    s_main->m_pageWipe.ShowStockLine();
    s_main->m_pagePki.ShowStockLine();

    CWnd& wipe = ShowPage(0);
    ::SendDlgItemMessageW(wipe.GetSafeHwnd(), IDC_WIPE_BATCH_CHECK, BM_CLICK, 0, 0);
    CheckShown(wipe.GetSafeHwnd(), "wipe-stock");
    CWnd& pki = ShowPage(1);
    ::SendDlgItemMessageW(pki.GetSafeHwnd(), IDC_PKI_BATCH_CHECK, BM_CLICK, 0, 0);
    ::SendDlgItemMessageW(pki.GetSafeHwnd(), IDC_PKI_RANDOM_USER_PIN, BM_CLICK, 0, 0);
    CheckShown(pki.GetSafeHwnd(), "pki-stock");
}

} // namespace
