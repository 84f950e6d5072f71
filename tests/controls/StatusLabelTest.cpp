// The status label, painted into bitmaps and read back pixel by pixel, one group per family:
// colours, gradient, blinking, links and fonts. The soak test watches its GDI objects.
#include "ControlsTestIds.h"
#include "controls/StatusLabel.h"
#include "res/StringIds.h"
#include "win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace wintest;

namespace {
constexpr COLORREF kRed = 0x000000FF;
constexpr COLORREF kBlue = 0x00FF0000;
constexpr COLORREF kBlack = 0x00000000;
constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr int kLabelId = 77;

class StatusLabelTest : public ::testing::Test {
  protected:
    // A label over a static of `style`, `width` x `height` pixels, on the recording parent.
    CStatusLabel& Make(DWORD style, int width, int height, const wchar_t* text = L"") {
        labels.push_back(std::make_unique<CStatusLabel>());
        CStatusLabel& label = *labels.back();
        EXPECT_TRUE(label.Create(text, WS_CHILD | WS_VISIBLE | style, CRect(10, 10, 10 + width, 10 + height),
                                 &parent, kLabelId));
        // Unsmoothed glyphs, so that every text pixel is exactly the text colour.
        LOGFONTW font = label.GetLogFontRecord();
        font.lfQuality = NONANTIALIASED_QUALITY;
        label.SetLogFont(font);
        return label;
    }
    std::unique_ptr<Canvas> Paint(CStatusLabel& label) {
        CRect client;
        label.GetClientRect(&client);
        auto canvas = std::make_unique<Canvas>(client.Width(), client.Height());
        PrintClient(label.m_hWnd, *canvas);
        return canvas;
    }

    RecordingWindow parent{1100, 300};
    std::vector<std::unique_ptr<CStatusLabel>> labels;
};

std::vector<std::pair<std::wstring, std::wstring>> g_openedLinks;
void RecordLink(const wchar_t* verb, const wchar_t* file) {
    g_openedLinks.emplace_back(verb ? verb : L"(default)", file ? file : L"");
}

} // namespace

// Guards against text painted in a stale colour, a label that waits for a later repaint, and a
// label attached late that forgets its colour or font.
TEST_F(StatusLabelTest, Colours) {
    CStatusLabel& label = Make(SS_LEFT, 300, 20);
    const struct {
        COLORREF colour, other;
        const wchar_t* text;
    } cases[] = {{kRed, kBlue, L"失败 Failure"}, {kBlue, kRed, L"12"}, {kBlack, kBlue, L"请插入USBKey"}};
    for (const auto& c : cases) {
        label.SetTextColor(c.colour).SetText(c.text);
        Canvas screen(300, 20); // what the screen shows right after the call
        CaptureClient(label.m_hWnd, screen);
        EXPECT_GT(screen.Count(c.colour), 5) << c.colour;
        EXPECT_EQ(screen.Count(c.other), 0) << c.colour;
    }
    EXPECT_EQ(Paint(label)->Pixel(295, 2), ::GetSysColor(COLOR_BTNFACE)) << "system face colour by default";
    label.SetText(110u); // an identifier without a string-table entry
    CString text;
    label.GetWindowText(text);
    EXPECT_TRUE(text.IsEmpty());

    CStatusLabel late;
    late.SetTextColor(kRed).SetText(L"ignored").SetText(IDS_INSERT_TOKEN);
    struct Page : CDialog {
        CStatusLabel& status;
        explicit Page(CStatusLabel& s) : CDialog(IDD_TEST_LABELS), status(s) {}
        void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_LABEL_STATUS, status); }
    } page(late);
    ASSERT_TRUE(page.Create(IDD_TEST_LABELS, &parent));
    late.GetWindowText(text);
    EXPECT_EQ(text, L"文字提示栏") << "the template's text";
    EXPECT_GT(Paint(late)->Count(Closer(kRed, ::GetSysColor(COLOR_BTNFACE))), 10);
    LOGFONTW templateFont{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(late.m_hWnd, WM_GETFONT, 0, 0)), sizeof templateFont,
                 &templateFont);
    EXPECT_STREQ(late.GetLogFontRecord().lfFaceName, templateFont.lfFaceName) << "the template's font";
}

// Guards against gradient bands that miss a column or the bottom row, run the wrong way, or
// outlive a solid colour: red to blue, one band per column, each a blend of the two.
TEST_F(StatusLabelTest, GradientBandsFromRedToBlue) {
    CStatusLabel& label = Make(SS_LEFT, 50, 12);
    label.SetBkColor(kRed, kBlue, TRUE);
    auto canvas = Paint(label);
    EXPECT_EQ(canvas->Pixel(0, 0), kRed);
    EXPECT_GE(GetBValue(canvas->Pixel(49, 0)), 245);
    for (int x = 0; x < 50; ++x) {
        const COLORREF band = canvas->Pixel(x, 0);
        EXPECT_EQ(canvas->Pixel(x, 11), band) << x;
        EXPECT_EQ(GetGValue(band), 0) << x;
        EXPECT_NEAR(GetRValue(band) + GetBValue(band), 255, 1) << x;
        if (x > 0) {
            EXPECT_LT(GetRValue(band), GetRValue(canvas->Pixel(x - 1, 0))) << x;
        }
    }
    label.SetBkColor(kWhite);
    EXPECT_EQ(Paint(label)->Count(kWhite), 50 * 12);
}

// Guards against a blink that does not alternate, does not run by itself, or does not stop in
// the normal look.
TEST_F(StatusLabelTest, BlinkAlternatesRunsAndStops) {
    const struct {
        bool background;
        COLORREF shownCorner, hiddenCorner, hiddenInk;
    } cases[] = {{false, ::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNFACE), kBlack},
                 {true, kWhite, kRed, kWhite}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.background ? "background" : "text");
        CStatusLabel& label = Make(SS_LEFT, 200, 20, L"attention");
        if (c.background)
            label.SetBkColor(kWhite).SetTextColor(kRed).FlashBackground(TRUE);
        else
            label.SetTextColor(kRed).FlashText(TRUE);
        label.SendMessage(WM_TIMER, 1); // every tick inverts the phase; the first shows the text
        auto shown = Paint(label);
        EXPECT_GT(shown->Count(kRed), 10);
        EXPECT_EQ(shown->Pixel(199, 0), c.shownCorner);
        label.SendMessage(WM_TIMER, 1);
        auto hidden = Paint(label);
        EXPECT_EQ(hidden->Pixel(199, 0), c.hiddenCorner);
        EXPECT_GT(hidden->Count(c.hiddenInk), 10);
        EXPECT_EQ(hidden->Count(kRed) == 0, !c.background) << "the text's colour is gone";
        // The timer really runs: the text comes back by itself.
        EXPECT_TRUE(PumpUntil(
            [&] { return Paint(label)->Pixel(199, 0) == c.shownCorner && Paint(label)->Count(kRed) > 10; },
            10000));
        label.SendMessage(WM_TIMER, 1); // stopping in the other phase gives the normal look back
        if (c.background)
            label.FlashBackground(FALSE);
        else
            label.FlashText(FALSE);
        EXPECT_FALSE(::KillTimer(label.m_hWnd, 1)) << "the blink timer is gone";
        label.Invalidate();
        EXPECT_EQ(Paint(label)->Pixel(199, 0), c.shownCorner);
        EXPECT_GT(Paint(label)->Count(kRed), 10);
    }
}

// Guards against clicks lost or reported twice, links opened with the wrong verb or target,
// and a link cursor that does not show.
TEST_F(StatusLabelTest, ClicksAndLinks) {
    LinkOpener previous = SetLinkOpener(&RecordLink);
    g_openedLinks.clear();
    CStatusLabel& label = Make(SS_LEFT, 200, 20, L"ops@example.com");
    label.SetLink(TRUE, TRUE);
    EXPECT_TRUE(label.GetStyle() & SS_NOTIFY) << "a static sees the mouse only with SS_NOTIFY";
    label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_EQ(parent.CountOf(WM_NOTIFY), 1);
    const auto& notify = parent.records.back();
    EXPECT_EQ(notify.notify.code, LABELN_CLICKED);
    EXPECT_EQ(notify.notify.idFrom, static_cast<UINT_PTR>(kLabelId));
    EXPECT_EQ(notify.notify.hwndFrom, label.m_hWnd);
    EXPECT_TRUE(g_openedLinks.empty());

    const struct {
        bool mail;
        const wchar_t* target;
        const wchar_t* verb;
        const wchar_t* opened;
    } cases[] = {{true, L"https://ignored.example", L"(default)", L"mailto:ops@example.com"},
                 {false, L"", L"open", L"ops@example.com"},
                 {false, L"https://example.com/help", L"open", L"https://example.com/help"}};
    for (const auto& c : cases) {
        g_openedLinks.clear();
        if (c.mail)
            label.SetMailtoLink(TRUE, FALSE);
        else
            label.SetLink(TRUE, FALSE);
        label.SetLinkTarget(c.target);
        label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ASSERT_EQ(g_openedLinks.size(), 1u) << c.opened;
        EXPECT_EQ(g_openedLinks[0], std::make_pair(std::wstring(c.verb), std::wstring(c.opened)));
    }
    EXPECT_EQ(parent.CountOf(WM_NOTIFY), 1);
    label.SetLink(FALSE, FALSE);
    EXPECT_FALSE(label.GetStyle() & SS_NOTIFY);
    SetLinkOpener(previous);

    HCURSOR hand = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));
    label.SetLinkCursor(hand);
    label.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(label.m_hWnd),
                      MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), hand);
}

// Guards against font changes that overflow the face name, lose the size or do not reach the
// font the label draws with.
TEST_F(StatusLabelTest, FontChangesReachTheFontDrawnWith) {
    CStatusLabel& label = Make(SS_LEFT, 300, 40, L"Font");
    const wchar_t longFace[] = L"An Extraordinarily Long Font Face Name Beyond Limits";
    label.SetFontName(longFace, GB2312_CHARSET);
    EXPECT_EQ(std::wstring(label.GetLogFontRecord().lfFaceName), std::wstring(longFace, 31));
    EXPECT_EQ(label.GetLogFontRecord().lfCharSet, GB2312_CHARSET);

    label.SetFontName(L"Tahoma").SetFontSize(20);
    const LONG height20 = label.GetLogFontRecord().lfHeight;
    ClientDC screen(nullptr);
    EXPECT_EQ(height20, -::MulDiv(20, ::GetDeviceCaps(screen, LOGPIXELSY), 72));
    label.SetFontSize(0); // no such size: the height stays
    label.SetFontBold(TRUE).SetFontItalic(TRUE).SetFontUnderline(TRUE);
    LOGFONTW made{};
    ::GetObjectW(label.GetLabelFont(), sizeof made, &made);
    EXPECT_EQ(made.lfWeight, FW_BOLD);
    EXPECT_TRUE(made.lfItalic);
    EXPECT_TRUE(made.lfUnderline);
    EXPECT_EQ(made.lfHeight, height20);
    label.SetFontBold(FALSE);
    ::GetObjectW(label.GetLabelFont(), sizeof made, &made);
    EXPECT_EQ(made.lfWeight, FW_NORMAL);
}
