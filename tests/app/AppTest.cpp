// Vantor.exe started as a separate process, as an operator starts it, with the stand-in
// module (or a broken one) in its folder; its windows are driven with real input and
// window messages, and the stand-in's journal file tells which module calls were made.
#include "BatchPage.h"
#include "LedgerReader.h"
#include "ProcessProbe.h"
#include "ProgramUnderTest.h"
#include "StatusTexts.h"
#include "base/Utf8.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>

namespace {

constexpr UINT kOutlookBarClick = WM_USER + 1019;
constexpr COLORREF kBarBack = RGB(135, 143, 162);

// A message box of the program: caption 115 and not the main window.
HWND WaitForMessageBox(const ProgramUnderTest& program, HWND main, DWORD timeoutMs = 10000) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : program.TopWindows())
                if (window != main && WindowText(window) == kTitle && ClassName(window) == L"#32770") {
                    box = window;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return box;
}

void Dismiss(HWND box) {
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// Answers the program's open-file dialog captioned `title` with `file`, as an operator types it.
bool AnswerFileDialog(const ProgramUnderTest& program, const std::wstring& title, const fs::path& file) {
    HWND dialog = nullptr;
    WaitUntil([&] {
        for (HWND window : program.TopWindows())
            if (WindowText(window) == title)
                dialog = window;
        return dialog != nullptr;
    });
    if (dialog == nullptr)
        return false;
    // The file name box: the explorer-style dialog's combo box, or the older edit field.
    HWND name = GetDlgItem(dialog, 1148) ? GetDlgItem(dialog, 1148) : GetDlgItem(dialog, 1152);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
    return PostMessageW(dialog, WM_COMMAND, IDOK, 0) != FALSE;
}

HWND NavigationBar(HWND main) {
    HWND pager = FindWindowExW(GetDlgItem(main, IDC_MAIN_NAV_FRAME), nullptr, L"SysPager", nullptr);
    return pager ? FindWindowExW(pager, nullptr, L"ListBox", nullptr) : nullptr;
}

// Item i of the bar is 2 × icon height tall; its icon frame starts 13 pixels below its top.
POINT ItemCentre(HWND bar, int item) {
    RECT client;
    GetClientRect(bar, &client);
    int height = 2 * GetSystemMetrics(SM_CYICON);
    return POINT{client.right / 2, item * height + height / 2};
}

// The colour on screen at the left edge of item i's icon frame, halfway down.
COLORREF FrameEdgePixel(HWND bar, int item) {
    RECT client;
    GetClientRect(bar, &client);
    int icon = GetSystemMetrics(SM_CXICON);
    int height = 2 * GetSystemMetrics(SM_CYICON);
    POINT point{(client.right - icon - 4) / 2, item * height + 30};
    ClientToScreen(bar, &point);
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

void MoveCursorAway() {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 5, GetSystemMetrics(SM_CYSCREEN) - 5);
}

// The window with the keyboard focus in the thread of `window`.
HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool PageVisible(HWND main, int controlId) {
    HWND page = PageWithControl(main, controlId);
    return page != nullptr && IsWindowVisible(page);
}

// The bar shows item `marked` (or none: -1) as the current page, once the hover the last
// click left has cleared.
bool BarMarks(HWND bar, int marked) {
    MoveCursorAway();
    return WaitUntil([&] {
        for (int item = 0; item < 4; ++item)
            if ((FrameEdgePixel(bar, item) != kBarBack) != (item == marked))
                return false;
        return true;
    });
}

// A picture for a person to look at, once the window has painted what it shows.
void Screenshot(HWND window, const wchar_t* name) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SaveScreenshot(window, ArtifactsFolder() / name);
}

// A scenario folder holding the program and the stand-in module.
struct Workbench {
    explicit Workbench(const std::wstring& name) : folder(name) {
        folder.CopyIn(BinFolder() / L"Vantor.exe");
        folder.CopyIn(BinFolder() / L"orbelcsp11.dll");
    }
    ScenarioFolder folder;
};

} // namespace

// Guards against a second copy of the program, keys taken by the main window (Tab that does
// not move, Esc or Enter that close it, F1 that opens help), and a module released other than
// once and last.
TEST(Program, StartsOnTheWipePageOnceAndReleasesTheModuleOnClose) {
    Workbench bench(L"start");
    bench.folder.Bench("default");
    ProgramUnderTest program(bench.folder);
    HWND main = program.WaitForWindow(kTitle);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return PageVisible(main, IDC_WIPE_PIN); }));
    // The pages made after the window shows stay hidden and leave the focus in the PIN field.
    ASSERT_TRUE(WaitUntil([&] { return PageWithControl(main, IDC_STATION_TILES) != nullptr; }));
    EXPECT_EQ(FocusOf(main), GetDlgItem(PageWithControl(main, IDC_WIPE_PIN), IDC_WIPE_PIN));
    EXPECT_FALSE(PageVisible(main, IDC_PKI_SO_PIN));
    EXPECT_FALSE(PageVisible(main, IDC_INFO_SERIAL));
    EXPECT_FALSE(PageVisible(main, IDC_STATION_TILES));
    HWND bar = NavigationBar(main);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(BarMarks(bar, 0)) << "item 0 is drawn as the current page";
    Screenshot(main, L"main-blank.bmp");

    // A second copy in the same session ends at once, without a window.
    ProgramUnderTest second(bench.folder);
    ASSERT_TRUE(second.WaitForExit(15000));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(second.TopWindows().empty());
    EXPECT_TRUE(IsWindowVisible(main));

    // Keys typed in the page stay in it: Tab moves on from the PIN, Esc and Enter close nothing
    // and F1 opens nothing; the click after them, handled after them, finds the one window.
    SetForegroundWindow(main);
    HWND pin = GetDlgItem(PageWithControl(main, IDC_WIPE_PIN), IDC_WIPE_PIN);
    ClickAt(pin, POINT{5, 5});
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(main) == pin; }));
    PressKey(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(main) != pin && FocusOf(main) != nullptr; }));
    PressKey(VK_ESCAPE);
    PressKey(VK_F1);
    SendMessageW(main, WM_COMMAND, IDOK, 0); // Enter on the main window itself
    ClickAt(bar, ItemCentre(bar, 1));
    ASSERT_TRUE(WaitUntil([&] { return PageVisible(main, IDC_PKI_SO_PIN); }));
    EXPECT_EQ(program.TopWindows().size(), 1u);
    // The close box ends the program and finalises the module once.
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(bench.folder.JournalCount("C_Initialize"), 1);
    EXPECT_EQ(bench.folder.JournalCount("C_Finalize"), 1);
    EXPECT_EQ(bench.folder.JournalLines().back().rfind("C_Finalize", 0), 0u) << "nothing after release";
}

// Guards against a start-up failure that goes unreported, leaves the program running, skips
// the release of an initialised module, or initialises a module without the extension.
TEST(Program, StartUpFailuresShowTheirMessageAndEnd) {
    const struct {
        const wchar_t* scenario;
        const wchar_t* module; // under <build>/bin, or none
        const char* bench;
        const std::wstring& message;
        int initialised, finalised;
    } cases[] = {
        {L"nomodule", nullptr, "default", msg::kLoadModuleFailed, 0, 0},
        {L"noaux", L"variants/noaux/orbelcsp11.dll", "default", msg::kLoadModuleFailed, 0, 0},
        {L"initfail", L"orbelcsp11.dll", "fail C_Initialize 0x191 always", msg::kInitModuleFailed, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bench);
        ScenarioFolder folder(c.scenario);
        folder.CopyIn(BinFolder() / L"Vantor.exe");
        if (c.module)
            folder.CopyIn(BinFolder() / c.module);
        folder.Bench(c.bench);
        ProgramUnderTest program(folder);
        HWND box = WaitForMessageBox(program, nullptr);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), c.message);
        EXPECT_NE(GetWindowLongW(box, GWL_STYLE) & WS_VISIBLE, 0);
        Dismiss(box);
        ASSERT_TRUE(program.WaitForExit());
        EXPECT_EQ(folder.JournalCount("C_Initialize"), c.initialised);
        EXPECT_EQ(folder.JournalCount("C_Finalize"), c.finalised);
        EXPECT_EQ(folder.JournalCount("C_GetSlotList"), 0);
    }
}

// The headers of a module built for the other pointer width: all the search reads of it.
void WriteOtherWidthModule(const fs::path& file) {
    std::string image(0x200, '\0');
    image[0] = 'M', image[1] = 'Z', image[0x3C] = 0x40;
    image.replace(0x40, 4, std::string("PE\0\0", 4));
    const WORD other = sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64;
    image[0x44] = static_cast<char>(other & 0xFF), image[0x45] = static_cast<char>(other >> 8);
    std::ofstream(file, std::ios::binary) << image;
}

// Guards against binding a module planted in the working folder, which the platform's own
// search order looks in before PATH: neither instead of the one on PATH nor as the only one;
// and against stopping at a module of the other width that stands earlier on PATH.
TEST(Program, AModulePlantedInTheWorkingFolderIsNeverLoaded) {
    ScenarioFolder programFolder(L"planted-program"), work(L"planted-work"), onPath(L"planted-path");
    ScenarioFolder otherWidth(L"planted-other-width");
    WriteOtherWidthModule(otherWidth.Path() / L"orbelcsp11.dll");
    programFolder.CopyIn(BinFolder() / L"Vantor.exe");
    work.CopyIn(BinFolder() / L"variants" / L"noaux" / L"orbelcsp11.dll"); // bound, it shows 105
    onPath.CopyIn(BinFolder() / L"orbelcsp11.dll");
    work.Bench("default");
    const std::wstring program = L"..\\planted-program\\Vantor.exe";
    std::wstring path(32767, L'\0');
    path.resize(GetEnvironmentVariableW(L"PATH", path.data(), 32767));
    SetEnvironmentVariableW(L"PATH", (L".;..\\planted-work;" + otherWidth.Path().wstring() + L";" +
                                      onPath.Path().wstring() + L";" + path)
                                         .c_str());
    for (int start = 0; start < 20; ++start) {
        ProgramUnderTest vantor(work, program);
        HWND main = vantor.WaitForWindow(kTitle);
        EXPECT_TRUE(main != nullptr && GetDlgItem(main, IDC_MAIN_NAV_FRAME) != nullptr) << "start " << start;
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(vantor.WaitForExit());
    }
    SetEnvironmentVariableW(L"PATH", path.c_str());

    fs::remove(work.Path() / L"orbelcsp11.dll");
    work.CopyIn(BinFolder() / L"orbelcsp11.dll");
    ProgramUnderTest vantor(work, program);
    HWND box = WaitForMessageBox(vantor, nullptr);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), msg::kLoadModuleFailed);
    Dismiss(box);
    EXPECT_TRUE(vantor.WaitForExit());
}

// Guards against bar clicks that show the wrong page or mark the wrong item. What a page
// shows again is PageStateTest's.
TEST(Program, BarClicksSwitchPagesAndMarkTheirItem) {
    Workbench bench(L"navigation");
    bench.folder.Bench("default");
    ProgramUnderTest program(bench.folder);
    HWND main = program.WaitForWindow(kTitle);
    ASSERT_NE(main, nullptr);
    HWND bar = NavigationBar(main);
    ASSERT_NE(bar, nullptr);
    SetForegroundWindow(main);

    ClickAt(bar, ItemCentre(bar, 1));
    ASSERT_TRUE(WaitUntil([&] { return PageVisible(main, IDC_PKI_SO_PIN); }));
    EXPECT_FALSE(PageVisible(main, IDC_WIPE_PIN));
    EXPECT_FALSE(PageVisible(main, IDC_INFO_SERIAL));
    EXPECT_TRUE(BarMarks(bar, 1));
    Screenshot(main, L"main-pki.bmp");

    ClickAt(bar, ItemCentre(bar, 2));
    ASSERT_TRUE(WaitUntil([&] { return PageVisible(main, IDC_INFO_SERIAL); }));
    EXPECT_FALSE(PageVisible(main, IDC_PKI_SO_PIN));
    MoveCursorAway();
    Screenshot(main, L"main-info.bmp");

    ClickAt(bar, ItemCentre(bar, 3));
    ASSERT_TRUE(WaitUntil([&] { return PageVisible(main, IDC_STATION_TILES); }));
    EXPECT_FALSE(PageVisible(main, IDC_INFO_SERIAL));
    EXPECT_TRUE(BarMarks(bar, 3));

    ClickAt(bar, ItemCentre(bar, 0));
    ASSERT_TRUE(WaitUntil([&] { return PageVisible(main, IDC_WIPE_PIN); }));

    // An index outside the pages changes no page but becomes the active item.
    SendMessageW(main, kOutlookBarClick, 7, IDC_MAIN_NAV_BAR);
    EXPECT_TRUE(PageVisible(main, IDC_WIPE_PIN));
    EXPECT_TRUE(BarMarks(bar, -1));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit());
}

// Guards against wrongly formatted hardware data, stale fields, and failures without a message.
TEST(Program, InformationPageShowsTheTokenOrTellsWhyNot) {
    Workbench bench(L"info");
    bench.folder.Bench("insert 0 type=pki serial=01A2000000003C4D cos=1.5 made=12-12-24-09-30-00 total=65536 "
                       "atr=3B9F95801FC78031E073FE211B630010");
    ProgramUnderTest program(bench.folder);
    HWND main = program.WaitForWindow(kTitle);
    ASSERT_NE(main, nullptr);
    PostMessageW(main, kOutlookBarClick, 2, IDC_MAIN_NAV_BAR);
    ASSERT_TRUE(WaitUntil([&] { return PageVisible(main, IDC_INFO_SERIAL); }));
    HWND info = PageWithControl(main, IDC_INFO_SERIAL);
    auto field = [&](int id) { return WindowText(GetDlgItem(info, id)); };
    auto query = [&] { PostMessageW(GetDlgItem(info, IDC_INFO_GET), BM_CLICK, 0, 0); };

    query();
    ASSERT_TRUE(WaitUntil([&] { return !field(IDC_INFO_SERIAL).empty(); }));
    EXPECT_EQ(field(IDC_INFO_SERIAL), L"01A2000000003C4D");
    EXPECT_EQ(field(IDC_INFO_COS_VERSION), L"1.05");
    EXPECT_EQ(field(IDC_INFO_PRODUCTION_TIME), L"2012-12-24 09:30:00");
    EXPECT_EQ(field(IDC_INFO_TOTAL_SPACE), L"64K");
    EXPECT_EQ(field(IDC_INFO_ATR), L"3B9F95801FC78031E073FE211B630010");
    EXPECT_EQ(field(IDC_INFO_DEVICE_TYPE), L"PKI类型");
    Screenshot(main, L"main-info-filled.bmp");

    // Leaving the page and coming back empties the fields.
    PostMessageW(main, kOutlookBarClick, 0, IDC_MAIN_NAV_BAR);
    PostMessageW(main, kOutlookBarClick, 2, IDC_MAIN_NAV_BAR);
    ASSERT_TRUE(WaitUntil([&] { return field(IDC_INFO_SERIAL).empty(); }));

    const struct {
        const char* bench;
        const std::wstring& message;
    } cases[] = {
        {"fail E_GetDeviceInfo 0x30 once", msg::kUnknownError},
        {"remove 0\nfail C_GetSlotList 0x5 once\ninsert 0 type=blank", msg::kInitModuleFailed},
    };
    for (const auto& c : cases) {
        bench.folder.Bench(c.bench);
        query();
        HWND box = WaitForMessageBox(program, main);
        ASSERT_NE(box, nullptr) << c.bench;
        EXPECT_EQ(MessageBoxText(box), c.message) << c.bench;
        EXPECT_EQ(GetWindow(box, GW_OWNER), main) << "owned by the page's top-level window";
        Dismiss(box);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
        EXPECT_TRUE(field(IDC_INFO_SERIAL).empty()) << c.bench;
        EXPECT_TRUE(field(IDC_INFO_DEVICE_TYPE).empty()) << c.bench;
    }
    // With a blank token the query succeeds again.
    query();
    ASSERT_TRUE(WaitUntil([&] { return field(IDC_INFO_DEVICE_TYPE) == L"空锁"; }));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit());
}

namespace {

// Points %APPDATA% (where the choice of module is remembered) at `folder` for the programs
// started while it lives.
class UserSettings {
  public:
    explicit UserSettings(const ScenarioFolder& folder) : m_previous(MAX_PATH, L'\0') {
        m_previous.resize(GetEnvironmentVariableW(L"APPDATA", m_previous.data(), MAX_PATH));
        SetEnvironmentVariableW(L"APPDATA", folder.Path().c_str());
    }
    ~UserSettings() { SetEnvironmentVariableW(L"APPDATA", m_previous.c_str()); }
    UserSettings(const UserSettings&) = delete;
    UserSettings& operator=(const UserSettings&) = delete;

  private:
    std::wstring m_previous;
};

// The value rows the information page makes for the standard path, in their order.
std::vector<std::wstring> StandardRows(HWND info) {
    std::vector<std::wstring> rows;
    for (int id = IDC_INFO_STD_FIRST; GetDlgItem(info, id) != nullptr; ++id)
        rows.push_back(IsWindowVisible(GetDlgItem(info, id)) ? WindowText(GetDlgItem(info, id))
                                                             : L"(hidden)");
    return rows;
}

} // namespace

// Guards against the standard path in the window: the module the operator picked for this user
// wins over the maker's module beside the program and is named in the title; the fields the
// standard cannot set stay disabled and the current SO PIN is asked for; the information page
// shows the token information in rows of its own, the vendor's fields hidden.
TEST(Program, AModulePickedWithoutTheExtensionIsDrivenThroughStandardCalls) {
    Workbench bench(L"standard");
    bench.folder.Bench("insert 0 type=pki serial=01A2000000003C4D cos=3.7 label=Desk public=1000 private=24");
    ScenarioFolder picked(L"standard-module");
    picked.CopyIn(BinFolder() / L"variants" / L"noaux" / L"orbelcsp11.dll");
    const std::wstring module = (picked.Path() / L"orbelcsp11.dll").wstring();
    fs::create_directories(picked.Path() / L"Vantor");
    std::ofstream(picked.Path() / L"Vantor" / L"token-module.txt", std::ios::binary)
        << (picked.Path() / L"orbelcsp11.dll").u8string() << "\n";
    const UserSettings settings(picked);
    ProgramUnderTest program(bench.folder);
    HWND main = program.WaitForWindow(kTitle + L" - " + module + L"（标准接口）");
    ASSERT_NE(main, nullptr);

    PostMessageW(main, kOutlookBarClick, 1, IDC_MAIN_NAV_BAR);
    ASSERT_TRUE(WaitUntil([&] { return PageVisible(main, IDC_PKI_SO_RETRY); }));
    HWND pki = PageWithControl(main, IDC_PKI_SO_RETRY);
    for (int id : {IDC_PKI_SO_RETRY, IDC_PKI_USER_RETRY, IDC_PKI_PUBLIC_SIZE, IDC_PKI_PRIVATE_SIZE})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(pki, id))) << id;
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(pki, IDC_PKI_LABEL)));
    for (int id : {IDC_PKI_CURRENT_SO_PIN, IDC_PKI_CURRENT_SO_PIN_CAPTION})
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(pki, id))) << id;
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(pki, IDC_PKI_NOTE)));
    Screenshot(main, L"main-pki-standard.bmp");

    PostMessageW(main, kOutlookBarClick, 2, IDC_MAIN_NAV_BAR);
    ASSERT_TRUE(WaitUntil([&] { return PageVisible(main, IDC_INFO_SERIAL); }));
    HWND info = PageWithControl(main, IDC_INFO_SERIAL);
    for (int id :
         {IDC_INFO_SERIAL, IDC_INFO_SERIAL_CAPTION, IDC_INFO_DEVICE_TYPE, IDC_INFO_DEVICE_TYPE_CAPTION})
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(info, id))) << id;
    for (const wchar_t* caption : {L"序列号：", L"制造商：", L"可用空间（字节）：", L"已初始化："})
        EXPECT_TRUE(IsWindowVisible(FindWindowExW(info, nullptr, L"Static", caption))) << caption;
    PostMessageW(GetDlgItem(info, IDC_INFO_GET), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !StandardRows(info).at(1).empty(); }));
    EXPECT_EQ(
        StandardRows(info),
        (std::vector<std::wstring>{L"Orbel USBKey virtual reader 0", L"01A2000000003C4D", L"Orbel", L"USBKey",
                                   L"1.0", L"3.7", L"Desk", L"1024", L"1024", L"是", L"不可用", L"不可用"}));
    EXPECT_EQ(bench.folder.JournalCount("E_GetDeviceInfo"), 0);
    Screenshot(main, L"main-info-standard.bmp");
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit());
}

// Guards against a module choice that waits for the next start, a choice taken while a batch
// run is in the module, a failed choice that leaves no module bound, no way back to the maker's
// module, and a current SO PIN that does not reach the token: refused by the token's limits
// before any call, then the one C_InitToken and C_SetPIN takes.
TEST(Program, AModuleChosenFromTheSystemMenuIsBoundAtOnce) {
    Workbench bench(L"module-change");
    bench.folder.Bench("insert 0 type=pki so=tamsel serial=01A2000000003C4D cos=3.7");
    ScenarioFolder user(L"module-change-user");
    user.CopyIn(BinFolder() / L"variants" / L"noaux" / L"orbelcsp11.dll");
    const fs::path module = user.Path() / L"orbelcsp11.dll";
    const fs::path remembered = user.Path() / L"Vantor" / L"token-module.txt";
    const UserSettings settings(user);
    ProgramUnderTest program(bench.folder);
    HWND main = program.WaitForWindow(kTitle);
    ASSERT_NE(main, nullptr);

    PostMessageW(main, WM_SYSCOMMAND, IDM_CHOOSE_MODULE, 0);
    ASSERT_TRUE(AnswerFileDialog(program, L"选择令牌模块", module));
    ASSERT_EQ(program.WaitForWindow(kTitle + L" - " + module.wstring() + L"（标准接口）"), main);
    EXPECT_EQ(bench.folder.JournalCount("C_Finalize"), 1) << "the maker's module released";
    EXPECT_EQ(bench.folder.JournalCount("C_Initialize"), 2);
    std::string line;
    std::getline(std::ifstream(remembered, std::ios::binary), line);
    EXPECT_EQ(line, module.u8string());

    // The next query goes to the module now bound: the standard rows, no vendor record.
    PostMessageW(main, kOutlookBarClick, 2, IDC_MAIN_NAV_BAR);
    ASSERT_TRUE(WaitUntil([&] { return PageVisible(main, IDC_INFO_SERIAL); }));
    HWND info = PageWithControl(main, IDC_INFO_SERIAL);
    SendMessageW(GetDlgItem(info, IDC_INFO_GET), BM_CLICK, 0, 0);
    EXPECT_EQ(StandardRows(info).at(1), L"01A2000000003C4D");
    EXPECT_EQ(bench.folder.JournalCount("E_GetDeviceInfo"), 0);

    const BatchPage pki(main, kPkiPageControls);
    ASSERT_TRUE(pki.Valid());
    auto type = [&](int id, const wchar_t* text) {
        SendMessageW(pki.Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    };
    type(IDC_PKI_SO_PIN, L"newso123");
    type(IDC_PKI_USER_PIN, L"user5678");
    type(IDC_PKI_CURRENT_SO_PIN, L"abc"); // shorter than the token takes
    SendMessageW(pki.Control(IDC_START), BM_CLICK, 0, 0);
    EXPECT_EQ(pki.Status(), L"PIN长度不在该锁允许的范围内");
    EXPECT_EQ(bench.folder.JournalCount("C_InitToken"), 0);
    type(IDC_PKI_CURRENT_SO_PIN, L"tamsel");
    SendMessageW(pki.Control(IDC_START), BM_CLICK, 0, 0);
    EXPECT_EQ(pki.Status(), msg::kPkiDone);
    EXPECT_EQ(bench.folder.JournalCount("C_InitToken", " rv=0x00000000"), 1);
    EXPECT_EQ(bench.folder.JournalCount("C_SetPIN", " rv=0x00000000"), 1);

    // Back to the maker's module: the title as at start, nothing remembered, the vendor record.
    SendMessageW(main, WM_SYSCOMMAND, IDM_DEFAULT_MODULE, 0);
    EXPECT_EQ(WindowText(main), kTitle);
    EXPECT_FALSE(fs::exists(remembered));
    EXPECT_FALSE(IsWindowVisible(pki.Control(IDC_PKI_CURRENT_SO_PIN)));
    PostMessageW(main, kOutlookBarClick, 2, IDC_MAIN_NAV_BAR);
    ASSERT_TRUE(WaitUntil([&] { return PageVisible(main, IDC_INFO_SERIAL); }));
    SendMessageW(GetDlgItem(info, IDC_INFO_GET), BM_CLICK, 0, 0);
    EXPECT_EQ(WindowText(GetDlgItem(info, IDC_INFO_DEVICE_TYPE)), L"PKI类型");
    EXPECT_EQ(StandardRows(info).at(1), L"(hidden)");

    // A file that is no module: its message, then the maker's module bound again.
    std::ofstream(user.Path() / L"broken.dll") << "no module";
    PostMessageW(main, WM_SYSCOMMAND, IDM_CHOOSE_MODULE, 0);
    ASSERT_TRUE(AnswerFileDialog(program, L"选择令牌模块", user.Path() / L"broken.dll"));
    HWND failed = WaitForMessageBox(program, main);
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(MessageBoxText(failed), msg::kLoadModuleFailed);
    Dismiss(failed);
    ASSERT_TRUE(WaitUntil([&] { return bench.folder.JournalCount("C_Initialize") == 4; }));
    EXPECT_EQ(WindowText(main), kTitle);
    EXPECT_FALSE(fs::exists(remembered));

    // While a batch run is in the module, no other module is bound.
    const BatchPage blank(main, kWipePageControls);
    ASSERT_TRUE(blank.StartBatch());
    PostMessageW(main, WM_SYSCOMMAND, IDM_CHOOSE_MODULE, 0);
    HWND box = WaitForMessageBox(program, main);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), L"批量初始化或工位模式正在进行，请先停止再更换令牌模块");
    Dismiss(box);
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(15000));
    EXPECT_EQ(bench.folder.JournalCount("C_Initialize"), 4);
    EXPECT_EQ(bench.folder.JournalCount("C_Finalize"), 4);
}

// Guards against a module call after the release when the window closes during a batch run.
TEST(Program, ClosingDuringABatchRunStopsTheWorkerBeforeTheModuleGoes) {
    for (const PageControls* controls : {&kWipePageControls, &kPkiPageControls}) {
        Workbench bench(controls->barItem == 0 ? L"close-blank" : L"close-pki");
        bench.folder.Bench("insert 0 type=blank");
        bench.folder.Bench("delay C_WaitForSlotEvent 50");
        bench.folder.Bench("delay E_InitPkiToken 300");
        ProgramUnderTest program(bench.folder);
        HWND main = program.WaitForWindow(kTitle);
        ASSERT_NE(main, nullptr);
        const BatchPage page(main, *controls);
        ASSERT_TRUE(page.Valid());
        ASSERT_TRUE(page.StartBatch());
        Screenshot(main, controls->barItem == 0 ? L"main-blank-batch.bmp" : L"main-pki-batch.bmp");
        bench.folder.Bench("remove 0");
        bench.folder.Bench("insert 0 type=blank");
        PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_TRUE(program.WaitForExit(15000));
        std::vector<std::string> journal = bench.folder.JournalLines();
        ASSERT_FALSE(journal.empty());
        EXPECT_EQ(journal.back().rfind("C_Finalize", 0), 0u) << "no module call after release";
        EXPECT_EQ(bench.folder.JournalCount("C_Finalize"), 1);
    }
}

namespace {

// Sets an environment variable for the programs started while it lives.
class ScopedVariable {
  public:
    ScopedVariable(const wchar_t* name, const wchar_t* value) : m_name(name), m_previous(64, L'\0') {
        const DWORD length = GetEnvironmentVariableW(name, m_previous.data(), 64);
        m_bWasSet = length > 0 && length < 64;
        m_previous.resize(m_bWasSet ? length : 0);
        SetEnvironmentVariableW(name, value);
    }
    ~ScopedVariable() { SetEnvironmentVariableW(m_name, m_bWasSet ? m_previous.c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const wchar_t* m_name;
    std::wstring m_previous;
    bool m_bWasSet = false;
};

bool HasChinese(const std::wstring& text) {
    return std::any_of(text.begin(), text.end(), [](wchar_t c) {
        return (c >= 0x3000 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF);
    });
}

// The texts of every window below `main`, each with its control id.
std::vector<std::pair<int, std::wstring>> ChildTexts(HWND main) {
    std::vector<std::pair<int, std::wstring>> texts;
    EnumChildWindows(
        main,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<std::pair<int, std::wstring>>*>(list)->emplace_back(
                GetDlgCtrlID(child), WindowText(child));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

} // namespace

// Guards against a Chinese text left on an English page (each page built from its English
// template), and a language switch that does not remember the other language for the next
// start or is named in the language shown.
TEST(Program, SpeaksEnglishOnEveryPageAndRemembersTheSwitchBackToChinese) {
    Workbench bench(L"english");
    bench.folder.Bench("default");
    ScenarioFolder user(L"english-user");
    const UserSettings settings(user);
    const ScopedVariable language(L"VANTOR_LANG", L"en");
    ProgramUnderTest program(bench.folder);
    const std::wstring title = L"Orbel PKI Token Initialiser";
    HWND main = program.WaitForWindow(title);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return PageWithControl(main, IDC_STATION_TILES) != nullptr; }));
    const int pageControls[] = {IDC_WIPE_PIN, IDC_PKI_SO_PIN, IDC_INFO_SERIAL, IDC_STATION_TILES};
    for (int page = 0; page < 4; ++page) {
        PostMessageW(main, kOutlookBarClick, page, IDC_MAIN_NAV_BAR);
        ASSERT_TRUE(WaitUntil([&] { return PageVisible(main, pageControls[page]); }));
        Screenshot(main, (L"main-en-" + std::to_wstring(page) + L".bmp").c_str());
    }
    EXPECT_EQ(WindowText(GetDlgItem(PageWithControl(main, IDC_WIPE_PIN), IDC_START)), L"&Start");
    EXPECT_EQ(WindowText(GetDlgItem(PageWithControl(main, IDC_INFO_SERIAL), IDC_INFO_GET)),
              L"&Get information");
    for (const auto& [id, text] : ChildTexts(main))
        EXPECT_FALSE(HasChinese(text)) << id << ": " << WideToUtf8(text);
    // The About box, from its English template.
    PostMessageW(main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = program.WaitForWindow(L"About Orbel PKI Token Initialiser", 30000);
    ASSERT_NE(about, nullptr);
    Screenshot(about, L"about-en.bmp");
    for (const auto& [id, text] : ChildTexts(about))
        EXPECT_FALSE(HasChinese(text)) << id << ": " << WideToUtf8(text);
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }));

    PostMessageW(main, WM_SYSCOMMAND, IDM_SWITCH_LANGUAGE, 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND window : program.TopWindows())
            if (window != main && WindowText(window) == title)
                box = window;
        return box != nullptr;
    }));
    const std::wstring said = MessageBoxText(box);
    EXPECT_NE(said.find(L"下次启动时将使用中文界面"), std::wstring::npos) << WideToUtf8(said);
    EXPECT_NE(said.find(L"Vantor will speak Chinese from its next start"), std::wstring::npos);
    EXPECT_NE(said.find(L"VANTOR_LANG"), std::wstring::npos) << "VANTOR_LANG is set and decides";
    std::string remembered;
    std::getline(std::ifstream(user.Path() / L"Vantor" / L"language.txt", std::ios::binary), remembered);
    EXPECT_EQ(remembered.substr(0, 2), "zh");
    Dismiss(box);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit());
}

// Guards against a program that writes its ledger elsewhere than VANTOR_LEDGER_DIR, leaves an
// information query unrecorded, or whose system menu item does not make and open the folder.
TEST(Program, TheLedgerRecordsQueriesAndOpensFromTheSystemMenu) {
    Workbench bench(L"ledger");
    bench.folder.Bench("insert 0 type=pki serial=01A2000000003C4D cos=1.5");
    ProgramUnderTest program(bench.folder);
    HWND main = program.WaitForWindow(kTitle);
    ASSERT_NE(main, nullptr);
    PostMessageW(main, kOutlookBarClick, 2, IDC_MAIN_NAV_BAR);
    ASSERT_TRUE(WaitUntil([&] { return PageVisible(main, IDC_INFO_SERIAL); }));
    HWND info = PageWithControl(main, IDC_INFO_SERIAL);
    SendMessageW(GetDlgItem(info, IDC_INFO_GET), BM_CLICK, 0, 0);
    ASSERT_EQ(WindowText(GetDlgItem(info, IDC_INFO_SERIAL)), L"01A2000000003C4D");
    const std::vector<LedgerFields> rows = ReadLedgerRows(bench.folder.LedgerFolder());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(LedgerFields(rows[0].begin() + 3, rows[0].end() - 1), // then the chain value
              (LedgerFields{"info", "single", "0", "01A2000000003C4D", "1.05", "pki", "", "success",
                            "0x00000000", ""}));

    fs::remove_all(bench.folder.LedgerFolder());
    SendMessageW(main, WM_SYSCOMMAND, IDM_OPEN_LEDGER, 0);
    EXPECT_TRUE(fs::is_directory(bench.folder.LedgerFolder()));
    // The shell's window on the folder, where it shows one, is closed again.
    const std::wstring name = bench.folder.LedgerFolder().filename().wstring();
    HWND shell = nullptr;
    WaitUntil(
        [&] {
            shell = FindWindowW(nullptr, bench.folder.LedgerFolder().wstring().c_str());
            if (shell == nullptr)
                shell = FindWindowW(nullptr, name.c_str());
            return shell != nullptr;
        },
        5000);
    if (shell != nullptr)
        PostMessageW(shell, WM_CLOSE, 0, 0);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit());
}

// Guards against a stock list item missing from the system menu, and a list loaded in its file
// dialog that does not reach the page or lets a token off it be written to.
TEST(Program, AStockListLoadedFromTheSystemMenuRefusesStrangers) {
    Workbench bench(L"stock");
    bench.folder.Bench("insert 0 type=pki so=tamsel serial=00000000000000D9");
    const fs::path list = bench.folder.Path() / L"stock.txt";
    std::ofstream(list) << "00000000000000C1\n00000000000000C2\n";
    ProgramUnderTest program(bench.folder);
    HWND main = program.WaitForWindow(kTitle);
    ASSERT_NE(main, nullptr);
    HWND blank = PageWithControl(main, IDC_WIPE_PIN);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(blank) != FALSE; }));
    HWND line = GetDlgItem(blank, IDC_STOCK_LINE);
    EXPECT_FALSE(IsWindowVisible(line)) << "no list, no line";

    // The system menu (Alt+Space) and its item's access key, as an operator opens it.
    SetForegroundWindow(main);
    INPUT keys[4]{};
    for (INPUT& key : keys)
        key.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[3].ki.wVk = VK_MENU;
    keys[1].ki.wVk = keys[2].ki.wVk = VK_SPACE;
    keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
    PressKey('K');
    ASSERT_TRUE(AnswerFileDialog(program, L"载入本批清单", list));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(line) != FALSE; }));
    EXPECT_EQ(WindowText(line), L"本批清单：共 2 支，已完成 0 支");
    Screenshot(main, L"main-stock.bmp");

    SendMessageW(GetDlgItem(blank, IDC_START), BM_CLICK, 0, 0);
    EXPECT_EQ(WindowText(GetDlgItem(blank, IDC_WIPE_STATUS)), L"该锁不在本批清单中");
    EXPECT_EQ(WindowText(GetDlgItem(blank, IDC_WIPE_COUNT_FAIL)), L"1");
    EXPECT_EQ(bench.folder.JournalCount("E_InitBlankToken"), 0);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit());
}

// Guards against a station that does not run its tokens through vantor-cli beside the
// program, and a close that waits on a hung token past its limit, leaves its child alive or
// it unrecorded, or releases the module before the station has ended. The hung token is the
// first one. Its own ctest entry, with a timeout well below the default limit of 120 s: a
// close that waited for the default instead of the limit typed (3 s) fails by that timeout.
TEST(ProgramStation, RunsTokensAndItsCloseWaitsAtMostTheLimit) {
    Workbench bench(L"station");
    bench.folder.CopyIn(BinFolder() / L"vantor-cli.exe");
    bench.folder.Bench("hang E_InitBlankToken slot=0\ninsert 0 type=pki serial=00000000000000B0\n"
                       "insert 1 type=pki serial=00000000000000B1"); // slot 0 never released
    ProgramUnderTest program(bench.folder);
    HWND main = program.WaitForWindow(kTitle);
    ASSERT_NE(main, nullptr);
    PostMessageW(main, kOutlookBarClick, 3, IDC_MAIN_NAV_BAR);
    ASSERT_TRUE(WaitUntil([&] { return PageVisible(main, IDC_STATION_TILES); }));
    HWND station = PageWithControl(main, IDC_STATION_TILES);
    auto text = [&](int id) { return WindowText(GetDlgItem(station, id)); };
    SetWindowTextW(GetDlgItem(station, IDC_STATION_LIMIT), L"3");
    PostMessageW(GetDlgItem(station, IDC_STATION_START), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return text(IDC_STATION_COUNT_SUCCESS) == L"1"; }, 120000));
    MoveCursorAway();
    Screenshot(main, L"main-station.bmp");

    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(120000));
    EXPECT_EQ(ChildProcesses(program.ProcessId(), L"vantor-cli.exe"), 0) << "a child outlived the program";
    std::map<std::string, LedgerRecord> bySerial;
    for (const LedgerRecord& line : ReadLedger(bench.folder.LedgerFolder()))
        bySerial[line.at("serial")] = line;
    ASSERT_EQ(bySerial.size(), 2u);
    EXPECT_EQ(bySerial["00000000000000B1"].at("outcome"), "success");
    EXPECT_EQ(bySerial["00000000000000B0"].at("message"), "操作超时");
    EXPECT_EQ(bySerial["00000000000000B0"].at("mode"), "station");
    EXPECT_EQ(bench.folder.JournalLines().back().rfind("C_Finalize", 0), 0u) << "nothing after release";
}
