// Every dialog template creates, and every control sits where the operator expects it:
// right number, kind, key styles, place (dialog units), text and tab order.
#include "ResourceTestSupport.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <vector>

using namespace restest;

namespace {

struct ExpectedControl {
    int id;
    const wchar_t* windowClass;
    DWORD styleMask;     // the bits of the style that are compared
    DWORD style;         // their expected value
    bool border;         // edits: WS_BORDER, or the client edge the edit control turns it into
    const wchar_t* text; // nullptr: not compared (pictures)
    RECT dialogUnits;    // x, y, width, height
    bool sized;          // false for pictures, which take the size of their image
};

constexpr DWORD kButtonMask = BS_TYPEMASK | WS_TABSTOP | WS_GROUP;
constexpr DWORD kEditMask = ES_PASSWORD | ES_NUMBER | ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP;

ExpectedControl Text(int id, DWORD align, const wchar_t* text, LONG x, LONG y, LONG w, LONG h) {
    return {id, L"Static", SS_TYPEMASK | WS_TABSTOP, align, false, text, {x, y, w, h}, true};
}
ExpectedControl Group(const wchar_t* text, LONG x, LONG y, LONG w, LONG h) {
    return {IDC_STATIC, L"Button", BS_TYPEMASK | WS_TABSTOP, BS_GROUPBOX, false, text, {x, y, w, h}, true};
}
ExpectedControl Check(int id, const wchar_t* text, LONG x, LONG y, LONG w, LONG h) {
    return {id,           L"Button", BS_TYPEMASK | WS_TABSTOP, BS_AUTOCHECKBOX | WS_TABSTOP, false, text,
            {x, y, w, h}, true};
}
ExpectedControl Default(int id, const wchar_t* text, LONG x, LONG y, LONG w, LONG h) {
    return {id, L"Button", kButtonMask, BS_DEFPUSHBUTTON | WS_TABSTOP, false, text, {x, y, w, h}, true};
}
ExpectedControl Push(int id, DWORD group, const wchar_t* text, LONG x, LONG y, LONG w, LONG h) {
    return {id, L"Button", kButtonMask, BS_PUSHBUTTON | WS_TABSTOP | group, false, text, {x, y, w, h}, true};
}
ExpectedControl Edit(int id, DWORD flags, LONG x, LONG y, LONG w, LONG h) {
    return {id, L"Edit", kEditMask, flags | WS_TABSTOP, true, L"", {x, y, w, h}, true};
}
ExpectedControl Picture(DWORD type, LONG x, LONG y) {
    return {IDC_STATIC, L"Static", SS_TYPEMASK, type, false, nullptr, {x, y, 0, 0}, false};
}
ExpectedControl Frame(int id, DWORD style, LONG x, LONG y, LONG w, LONG h) {
    return {id, L"Static", SS_TYPEMASK | SS_SUNKEN, style, false, L"", {x, y, w, h}, true};
}

const wchar_t kBatchText[] = L"自动进行批量初始化，状态栏显示成功或失败后方可更换锁";

const std::vector<ExpectedControl> kBlankPage = {
    Edit(IDC_BLANK_PIN, ES_PASSWORD | ES_AUTOHSCROLL, 14, 61, 277, 12),
    Check(IDC_BLANK_BATCH_CHECK, kBatchText, 14, 81, 277, 10),
    Default(IDC_START, L"初始化(&S)", 165, 253, 54, 13),
    Push(IDC_STOP, WS_GROUP, L"停止(&T)", 240, 253, 51, 13),
    Text(IDC_STATIC, SS_LEFT, L"总数：", 14, 208, 26, 8),
    Text(IDC_STATIC, SS_LEFT, L"初始化为空锁", 7, 7, 291, 8),
    Picture(SS_BITMAP, 7, 20),
    Text(IDC_STATIC, SS_LEFT, L"请输入当前管理员PIN（PKI默认为tamsel）：", 14, 45, 277, 8),
    Group(L"验证权限：", 7, 29, 291, 74),
    Group(L"说明：", 7, 110, 291, 73),
    Group(L"状态：", 7, 190, 291, 56),
    Text(IDC_BLANK_STATUS, SS_CENTER, L"文字提示栏", 14, 227, 277, 9),
    Text(IDC_STATIC, SS_LEFT, L"成功：", 112, 208, 26, 8),
    Text(IDC_STATIC, SS_LEFT, L"失败：", 210, 208, 25, 8),
    Text(IDC_STATIC, SS_LEFT, L"1、PKI应用的锁必须初始化为空锁才能重新选择使用加密锁功能", 14, 122, 277, 8),
    Text(IDC_STATIC, SS_LEFT, L"2、输入的管理员PIN对空锁或没有内容的锁将被忽略", 14, 137, 277, 8),
    Text(IDC_STATIC, SS_LEFT, L"3、加密锁类型不能使用本工具", 14, 152, 277, 8),
    Text(IDC_STATIC, SS_LEFT, L"4、初始化为空锁后将清除所有内容", 14, 167, 277, 8),
    Text(IDC_COUNT_TOTAL, SS_LEFT, L"0", 49, 208, 48, 8),
    Text(IDC_COUNT_SUCCESS, SS_LEFT, L"0", 147, 208, 48, 8),
    Text(IDC_BLANK_COUNT_FAIL, SS_LEFT, L"0", 243, 208, 48, 8),
};

const std::vector<ExpectedControl> kPkiPage = {
    Edit(IDC_PKI_SO_PIN, ES_PASSWORD | ES_AUTOHSCROLL, 144, 37, 148, 12),
    Edit(IDC_PKI_USER_PIN, ES_PASSWORD | ES_AUTOHSCROLL, 144, 53, 148, 12),
    Edit(IDC_PKI_SO_RETRY, ES_NUMBER | ES_AUTOHSCROLL, 144, 69, 148, 12),
    Edit(IDC_PKI_USER_RETRY, ES_NUMBER | ES_AUTOHSCROLL, 144, 85, 148, 12),
    Edit(IDC_PKI_LABEL, ES_AUTOHSCROLL, 144, 101, 148, 12),
    Edit(IDC_PKI_PUBLIC_SIZE, ES_NUMBER | ES_AUTOHSCROLL, 144, 117, 148, 12),
    Edit(IDC_PKI_PRIVATE_SIZE, ES_NUMBER | ES_AUTOHSCROLL, 144, 133, 148, 12),
    Check(IDC_PKI_BATCH_CHECK, kBatchText, 15, 151, 224, 10),
    Default(IDC_START, L"初始化(&S)", 171, 254, 50, 14),
    Push(IDC_STOP, 0, L"停止(&T)", 242, 254, 50, 14),
    Text(IDC_STATIC, SS_LEFT, L"初始化为PKI锁", 7, 7, 118, 8),
    Picture(SS_BITMAP, 7, 20),
    Group(L"参数设置：", 7, 26, 291, 159),
    Text(IDC_STATIC, SS_RIGHT, L"新的管理员PIN（默认为tamsel）：", 15, 39, 125, 8),
    Text(IDC_STATIC, SS_RIGHT, L"新的用户PIN（默认为5820）：", 15, 55, 125, 8),
    Text(IDC_STATIC, SS_RIGHT, L"管理员PIN最大重试次数(1-255)：", 15, 71, 125, 8),
    Text(IDC_STATIC, SS_RIGHT, L"用户PIN最大重试次数(1-255)：", 15, 87, 125, 8),
    Text(IDC_STATIC, SS_RIGHT, L"名称（0-32个字符）：", 15, 103, 125, 8),
    Text(IDC_STATIC, SS_RIGHT, L"公有区大小（字节）：", 15, 119, 125, 8),
    Text(IDC_STATIC, SS_RIGHT, L"私有区大小（字节）：", 15, 135, 125, 8),
    Group(L"状态：", 7, 192, 291, 52),
    Text(IDC_PKI_STATUS, SS_CENTER, L"文字提示栏", 15, 225, 277, 9),
    Text(IDC_STATIC, SS_LEFT, L"总数：", 15, 208, 32, 8),
    Text(IDC_COUNT_TOTAL, SS_LEFT, L"0", 59, 208, 34, 8),
    Text(IDC_STATIC, SS_LEFT, L"成功：", 113, 208, 32, 8),
    Text(IDC_COUNT_SUCCESS, SS_LEFT, L"0", 156, 208, 34, 8),
    Text(IDC_STATIC, SS_LEFT, L"失败：", 211, 208, 32, 8),
    Text(IDC_PKI_COUNT_FAIL, SS_LEFT, L"0", 253, 208, 34, 8),
    Text(IDC_PKI_NOTE, SS_LEFTNOWORDWRAP, L"注意：执行该初始化功能之前硬件必须为空锁类型或PKI类型", 15, 169,
         277, 8),
};

const std::vector<ExpectedControl> kInfoPage = {
    Default(IDC_INFO_GET, L"获取信息(&G)", 229, 234, 58, 14),
    Edit(IDC_INFO_SERIAL, ES_READONLY | ES_AUTOHSCROLL, 92, 45, 195, 12),
    Edit(IDC_INFO_COS_VERSION, ES_READONLY | ES_AUTOHSCROLL, 92, 66, 195, 12),
    Edit(IDC_INFO_PRODUCTION_TIME, ES_READONLY | ES_AUTOHSCROLL, 92, 87, 195, 12),
    Edit(IDC_INFO_TOTAL_SPACE, ES_READONLY | ES_AUTOHSCROLL, 92, 108, 195, 12),
    Edit(IDC_INFO_ATR, ES_READONLY | ES_AUTOHSCROLL, 92, 129, 195, 12),
    Edit(IDC_INFO_DEVICE_TYPE, ES_READONLY | ES_AUTOHSCROLL, 92, 150, 195, 12),
    Text(IDC_STATIC, SS_LEFT, L"获取信息", 7, 7, 253, 8),
    Picture(SS_BITMAP, 7, 20),
    Group(L"硬件信息：", 7, 30, 286, 144),
    Group(L"说明：", 7, 183, 286, 40),
    Text(IDC_STATIC, SS_LEFT, L"本工具只能查看相关硬件信息，如果要获取PKI相关信息，请使用PKI管理工具", 13,
         200, 274, 8),
    Text(IDC_STATIC, SS_RIGHT, L"硬件序列号：", 13, 47, 75, 8),
    Text(IDC_STATIC, SS_RIGHT, L"COS版本：", 13, 68, 75, 8),
    Text(IDC_STATIC, SS_RIGHT, L"生产日期：", 13, 89, 75, 8),
    Text(IDC_STATIC, SS_RIGHT, L"锁总空间（字节）：", 13, 110, 75, 8),
    Text(IDC_STATIC, SS_RIGHT, L"ATR（16进制值）：", 13, 131, 75, 8),
    Text(IDC_STATIC, SS_RIGHT, L"当前硬件类型：", 13, 152, 75, 8),
};

const std::vector<ExpectedControl> kMainWindow = {
    Frame(IDC_MAIN_NAV_FRAME, SS_ETCHEDFRAME | SS_SUNKEN, 7, 7, 78, 268),
    Frame(IDC_MAIN_PAGE_FRAME, SS_BLACKFRAME, 87, 7, 299, 268),
};

ExpectedControl AboutText(DWORD style, const wchar_t* text, LONG x, LONG y, LONG w, LONG h) {
    ExpectedControl control = Text(IDC_STATIC, style, text, x, y, w, h);
    control.styleMask |= SS_NOPREFIX;
    return control;
}

// The maker's texts of the About box are the tool's own; only their kind and place are fixed.
const std::vector<ExpectedControl> kAboutBox = {
    Picture(SS_ICON, 11, 17),
    AboutText(SS_LEFT | SS_NOPREFIX, L"Orbel PKI 初始化工具 1.0 版", 37, 7, 119, 8),
    AboutText(SS_LEFT, nullptr, 38, 43, 175, 8),
    Default(IDOK, L"确定", 178, 7, 50, 14),
    AboutText(SS_LEFT, nullptr, 37, 24, 159, 11),
    AboutText(SS_CENTER, nullptr, 37, 59, 159, 11),
};

RECT ToPixels(HWND dialog, const RECT& dialogUnits) {
    RECT pixels = dialogUnits; // x, y, width and height map independently, as the dialog manager does
    MapDialogRect(dialog, &pixels);
    return pixels;
}

RECT PlaceInDialog(HWND dialog, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void ExpectControls(HWND dialog, const std::vector<ExpectedControl>& expected) {
    std::vector<HWND> children = Children(dialog);
    ASSERT_EQ(children.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const ExpectedControl& want = expected[i];
        HWND control = children[i];
        SCOPED_TRACE(testing::Message() << "control #" << i << " (id " << want.id << ")");
        EXPECT_EQ(GetDlgCtrlID(control), want.id);
        EXPECT_EQ(_wcsicmp(ClassName(control).c_str(), want.windowClass), 0) << ClassName(control).c_str();
        const DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(control, GWL_EXSTYLE));
        EXPECT_EQ(style & want.styleMask, want.style) << std::hex << "style 0x" << style;
        EXPECT_TRUE(style & WS_VISIBLE);
        if (want.border) {
            EXPECT_TRUE((style & WS_BORDER) || (exStyle & WS_EX_CLIENTEDGE));
        }
        if (want.text) {
            EXPECT_EQ(WindowText(control), want.text);
        }
        const RECT wantPixels = ToPixels(dialog, want.dialogUnits);
        const RECT place = PlaceInDialog(dialog, control);
        EXPECT_EQ(place.left, wantPixels.left);
        EXPECT_EQ(place.top, wantPixels.top);
        if (want.sized) {
            EXPECT_EQ(place.right, wantPixels.right) << "width";
            EXPECT_EQ(place.bottom, wantPixels.bottom) << "height";
        }
    }
}

void ExpectClientSize(HWND dialog, LONG widthUnits, LONG heightUnits) {
    RECT want{0, 0, widthUnits, heightUnits};
    MapDialogRect(dialog, &want);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, want.right);
    EXPECT_EQ(client.bottom, want.bottom);
}

void ExpectFont(HWND dialog, const wchar_t* face, int points) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW lf{};
    ASSERT_EQ(GetObjectW(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_STREQ(lf.lfFaceName, face);
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(lf.lfHeight, height);
}

void ExpectPageWindow(HWND page) {
    const DWORD style = static_cast<DWORD>(GetWindowLongW(page, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(page, GWL_EXSTYLE));
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & WS_VISIBLE) << "the main window shows the page";
    EXPECT_EQ(style & WS_CAPTION, 0u);
    EXPECT_TRUE(exStyle & WS_EX_CONTROLPARENT) << "Tab must reach the page's controls";
}

int DefaultButton(HWND dialog) {
    LRESULT result = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    return HIWORD(result) == DC_HASDEFID ? LOWORD(result) : 0;
}

std::vector<int> TabOrder(HWND dialog) {
    std::vector<int> order;
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    for (HWND item = first; item && order.size() < 50;) {
        order.push_back(GetDlgCtrlID(item));
        item = GetNextDlgTabItem(dialog, item, FALSE);
        if (item == first)
            break;
    }
    return order;
}

class PageTemplate : public testing::Test {
  protected:
    void SetUp() override { host_ = CreateHostWindow(800, 700, false); }
    UniqueWindow Create(int templateId) { return CreateTemplateDialog(templateId, host_.get()); }
    UniqueWindow host_;
};

} // namespace

TEST(DialogTemplates, AllAreChineseResources) {
    for (int id : {IDD_ABOUTBOX, IDD_MAIN, IDD_BLANK_PAGE, IDD_PKI_PAGE, IDD_INFO_PAGE}) {
        EXPECT_NE(FindResourceExW(nullptr, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(id),
                                  MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)),
                  nullptr)
            << "template " << id;
    }
}

TEST_F(PageTemplate, BlankPageControls) {
    UniqueWindow page = Create(IDD_BLANK_PAGE);
    ASSERT_TRUE(page);
    ExpectPageWindow(page.get());
    ExpectClientSize(page.get(), 329, 273);
    ExpectFont(page.get(), L"MS Sans Serif", 9);
    ExpectControls(page.get(), kBlankPage);
    EXPECT_EQ(DefaultButton(page.get()), IDC_START);
    EXPECT_NE(SendDlgItemMessageW(page.get(), IDC_BLANK_PIN, EM_GETPASSWORDCHAR, 0, 0), 0);
    EXPECT_EQ(TabOrder(page.get()),
              (std::vector<int>{IDC_BLANK_PIN, IDC_BLANK_BATCH_CHECK, IDC_START, IDC_STOP}));
}

TEST_F(PageTemplate, PkiPageControls) {
    UniqueWindow page = Create(IDD_PKI_PAGE);
    ASSERT_TRUE(page);
    ExpectPageWindow(page.get());
    ExpectClientSize(page.get(), 328, 275);
    ExpectFont(page.get(), L"MS Sans Serif", 9);
    ExpectControls(page.get(), kPkiPage);
    EXPECT_EQ(DefaultButton(page.get()), IDC_START);
    for (int id : {IDC_PKI_SO_PIN, IDC_PKI_USER_PIN})
        EXPECT_NE(SendDlgItemMessageW(page.get(), id, EM_GETPASSWORDCHAR, 0, 0), 0) << id;
    EXPECT_EQ(SendDlgItemMessageW(page.get(), IDC_PKI_LABEL, EM_GETPASSWORDCHAR, 0, 0), 0);
    EXPECT_EQ(TabOrder(page.get()),
              (std::vector<int>{IDC_PKI_SO_PIN, IDC_PKI_USER_PIN, IDC_PKI_SO_RETRY, IDC_PKI_USER_RETRY,
                                IDC_PKI_LABEL, IDC_PKI_PUBLIC_SIZE, IDC_PKI_PRIVATE_SIZE, IDC_PKI_BATCH_CHECK,
                                IDC_START, IDC_STOP}));
}

TEST_F(PageTemplate, NumberFieldsRefuseLetters) {
    UniqueWindow page = Create(IDD_PKI_PAGE);
    ASSERT_TRUE(page);
    HWND retries = GetDlgItem(page.get(), IDC_PKI_SO_RETRY);
    SetWindowTextW(retries, L"");
    SendMessageW(retries, WM_CHAR, L'x', 0);
    SendMessageW(retries, WM_CHAR, L'7', 0);
    EXPECT_EQ(WindowText(retries), L"7");
}

TEST_F(PageTemplate, InfoPageControls) {
    UniqueWindow page = Create(IDD_INFO_PAGE);
    ASSERT_TRUE(page);
    ExpectPageWindow(page.get());
    ExpectClientSize(page.get(), 331, 255);
    ExpectFont(page.get(), L"MS Sans Serif", 9);
    ExpectControls(page.get(), kInfoPage);
    EXPECT_EQ(DefaultButton(page.get()), IDC_INFO_GET);
}

TEST(DialogTemplates, MainWindow) {
    UniqueWindow main = CreateTemplateDialog(IDD_MAIN, nullptr);
    ASSERT_TRUE(main);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(main.get(), GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(main.get(), GWL_EXSTYLE));
    const DWORD required = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(style & required, required);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD), 0u);
    EXPECT_TRUE(exStyle & WS_EX_APPWINDOW) << "taskbar button";
    EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(WindowText(main.get()), L"Orbel PKI 格式化工具");
    ExpectClientSize(main.get(), 393, 282);
    ExpectFont(main.get(), L"MS Sans Serif", 9);
    ExpectControls(main.get(), kMainWindow);
}

TEST(DialogTemplates, PagesHostedInMainWindowJoinItsTabOrder) {
    UniqueWindow main = CreateTemplateDialog(IDD_MAIN, nullptr);
    ASSERT_TRUE(main);
    UniqueWindow page = CreateTemplateDialog(IDD_BLANK_PAGE, main.get());
    ASSERT_TRUE(page);
    ShowWindow(page.get(), SW_SHOW);
    EXPECT_EQ(TabOrder(main.get()),
              (std::vector<int>{IDC_BLANK_PIN, IDC_BLANK_BATCH_CHECK, IDC_START, IDC_STOP}));
}

TEST(DialogTemplates, AboutBox) {
    UniqueWindow about = CreateTemplateDialog(IDD_ABOUTBOX, nullptr);
    ASSERT_TRUE(about);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(about.get(), GWL_STYLE));
    const DWORD required = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(style & required, required);
    EXPECT_TRUE(GetWindowLongW(about.get(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(WindowText(about.get()), L"关于 Orbel PKI 初始化工具");
    ExpectClientSize(about.get(), 235, 82);
    ExpectFont(about.get(), L"宋体", 9);
    ExpectControls(about.get(), kAboutBox);
    EXPECT_EQ(DefaultButton(about.get()), IDOK);

    std::vector<HWND> children = Children(about.get());
    ASSERT_EQ(children.size(), kAboutBox.size());
    EXPECT_NE(SendMessageW(children[0], STM_GETICON, 0, 0), 0) << "application icon";
    EXPECT_FALSE(WindowText(children[2]).empty()) << "legal notice";
    EXPECT_EQ(WindowText(children[4]).rfind(L"开发商：", 0), 0u) << "developer line";
    EXPECT_GT(WindowText(children[4]).size(), 4u);
    EXPECT_FALSE(WindowText(children[5]).empty()) << "second address";
}

TEST(DialogTemplates, SeparatorPictureIsTheSeparatorBitmap) {
    UniqueWindow host = CreateHostWindow(800, 700, false);
    for (int id : {IDD_BLANK_PAGE, IDD_PKI_PAGE, IDD_INFO_PAGE}) {
        UniqueWindow page = CreateTemplateDialog(id, host.get());
        ASSERT_TRUE(page);
        HWND picture = nullptr;
        for (HWND child : Children(page.get()))
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
                picture = child;
        ASSERT_NE(picture, nullptr) << id;
        HBITMAP image = reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
        ASSERT_NE(image, nullptr) << id;
        BITMAP info{};
        ASSERT_NE(GetObjectW(image, sizeof info, &info), 0);
        EXPECT_EQ(info.bmWidth, 434);
        EXPECT_EQ(info.bmHeight, 1);
    }
}
