// The status label, painted into bitmaps and read back pixel by pixel: colours, text
// layout by static style, gradient bands, blinking, clicks and links, fonts, and the GDI
// objects it makes.
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
const wchar_t kLongText[] = L"alpha beta gamma delta epsilon zeta eta theta iota kappa";

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

struct OpenedLinks {
    static std::vector<std::pair<std::wstring, std::wstring>>& All() {
        static std::vector<std::pair<std::wstring, std::wstring>> all;
        return all;
    }
    static void Record(const wchar_t* verb, const wchar_t* file) {
        All().emplace_back(verb ? verb : L"(default)", file ? file : L"");
    }
};

// Colour of the gradient band `band` of `bands` from red to blue, each channel stepped in
// 1/256 units with the step truncated toward zero.
COLORREF RedToBlueBand(int band, int bands) {
    int step = (255 * 256) / bands;
    return RGB((255 * 256 - band * step) / 256, 0, (band * step) / 256);
}
} // namespace

TEST_F(StatusLabelTest, ChainedColourAndTextPaintTheTextInThatColour) {
    CStatusLabel& label = Make(SS_LEFT, 300, 20);
    label.SetTextColor(kRed).SetText(L"失败 Failure");
    auto red = Paint(label);
    EXPECT_GT(red->Count(kRed), 20);
    EXPECT_EQ(red->Count(kBlue), 0);
    // The background is the system face colour when none was set.
    EXPECT_EQ(red->Pixel(295, 2), ::GetSysColor(COLOR_BTNFACE));

    label.SetTextColor(kBlue).SetText(L"12");
    auto blue = Paint(label);
    EXPECT_GT(blue->Count(kBlue), 10);
    EXPECT_EQ(blue->Count(kRed), 0);

    label.SetTextColor(kBlack).SetText(L"请插入USBKey");
    auto black = Paint(label);
    EXPECT_GT(black->Count(kBlack), 20);
    EXPECT_EQ(black->Count(kBlue), 0);

    // A string-table entry, or nothing for an identifier without one.
    label.SetText(IDS_INSERT_TOKEN);
    CString text;
    label.GetWindowText(text);
    EXPECT_EQ(text, L"请插入USBKey");
    label.SetText(110u);
    label.GetWindowText(text);
    EXPECT_TRUE(text.IsEmpty());

    // What the screen shows right after the call: the label repainted itself at once.
    label.SetTextColor(kRed).SetText(L"失败 Failure");
    Canvas screen(300, 20);
    CaptureClient(label.m_hWnd, screen);
    EXPECT_GT(screen.Count(kRed), 20);
}

namespace {
UINT ReportFromWorker(LPVOID param) {
    auto* label = static_cast<CStatusLabel*>(param);
    for (int i = 0; i < 20; ++i)
        label->SetTextColor(i % 2 ? kRed : kBlue).SetText(i % 2 ? L"失败 Failure" : L"成功 Success");
    return 0;
}
} // namespace

TEST_F(StatusLabelTest, AWorkerThreadMayColourAndSetTheText) {
    CStatusLabel& label = Make(SS_CENTER, 300, 20, L"");
    auto worker = AfxBeginThread(&ReportFromWorker, &label);
    ASSERT_NE(worker, nullptr);
    // The interface thread keeps handling what the worker sends while it waits.
    ASSERT_EQ(worker->WaitPumping(10000), WAIT_OBJECT_0);
    CString text;
    label.GetWindowText(text);
    EXPECT_EQ(text, L"失败 Failure");
    EXPECT_EQ(label.GetTextColor(), kRed);
    Canvas screen(300, 20);
    CaptureClient(label.m_hWnd, screen);
    EXPECT_GT(screen.Count(kRed), 20);
    EXPECT_EQ(screen.Count(kBlue), 0);
}

TEST_F(StatusLabelTest, BeforeItsWindowExistsTheLabelOnlyKeepsTheColour) {
    CStatusLabel label;
    label.SetTextColor(kRed).SetText(L"ignored").SetText(IDS_INSERT_TOKEN);
    EXPECT_EQ(label.GetTextColor(), kRed);
    EXPECT_EQ(label.m_hWnd, nullptr);

    // Attached to a page's static later, it shows the template's text in the colour.
    struct Page : CDialog {
        CStatusLabel& status;
        explicit Page(CStatusLabel& s) : CDialog(IDD_TEST_LABELS), status(s) {}
        void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_LABEL_STATUS, status); }
    } page(label);
    ASSERT_TRUE(page.Create(IDD_TEST_LABELS, &parent));
    CString text;
    label.GetWindowText(text);
    EXPECT_EQ(text, L"文字提示栏");
    auto canvas = Paint(label);
    EXPECT_GT(canvas->Count(Closer(kRed, ::GetSysColor(COLOR_BTNFACE))), 10);
    EXPECT_EQ(canvas->Count(Closer(kBlue, ::GetSysColor(COLOR_BTNFACE))), 0);
    // The label draws with the static's own font (the template's), not the system font.
    LOGFONTW templateFont{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(label.m_hWnd, WM_GETFONT, 0, 0)), sizeof templateFont,
                 &templateFont);
    EXPECT_STREQ(label.GetLogFontRecord().lfFaceName, templateFont.lfFaceName);
    EXPECT_EQ(label.GetLogFontRecord().lfHeight, templateFont.lfHeight);
}

TEST_F(StatusLabelTest, StaticStyleDecidesWrappingAndAlignment) {
    CStatusLabel& centred = Make(SS_CENTER, 200, 90, kLongText);
    centred.SetTextColor(kRed);
    auto c = Paint(centred);
    auto lines = c->RowRuns(kRed);
    ASSERT_GE(lines.size(), 2u) << "SS_CENTER wraps";
    for (const auto& line : lines) {
        CRect band(0, line.first, 200, line.second);
        CRect ink = c->Bounds(kRed, &band);
        EXPECT_LE(std::abs(ink.left - (200 - ink.right)), 3) << "each line is centred";
    }

    CStatusLabel& noWrap = Make(SS_LEFTNOWORDWRAP, 200, 90, kLongText);
    noWrap.SetTextColor(kRed);
    auto n = Paint(noWrap);
    EXPECT_EQ(n->RowRuns(kRed).size(), 1u) << "SS_LEFTNOWORDWRAP keeps one line";
    EXPECT_LE(n->Bounds(kRed).left, 2);
    EXPECT_GE(n->Bounds(kRed).right, 190) << "the line runs on to the edge, cut off";

    CStatusLabel& left = Make(SS_LEFT, 200, 90, kLongText);
    left.SetTextColor(kRed);
    auto l = Paint(left);
    EXPECT_GE(l->RowRuns(kRed).size(), 2u);
    EXPECT_LE(l->Bounds(kRed).left, 2);

    CStatusLabel& right = Make(SS_RIGHT, 200, 30, L"12");
    right.SetTextColor(kRed);
    auto r = Paint(right);
    EXPECT_GE(r->Bounds(kRed).right, 196);
}

TEST_F(StatusLabelTest, TabsAreExpandedAndCentreImageCentresOneLine) {
    CStatusLabel& tabbed = Make(SS_LEFT, 400, 20, L"A\tB");
    CStatusLabel& spaced = Make(SS_LEFT, 400, 20, L"A B");
    tabbed.SetTextColor(kRed);
    spaced.SetTextColor(kRed);
    EXPECT_GT(Paint(tabbed)->Bounds(kRed).Width(), Paint(spaced)->Bounds(kRed).Width() + 15);

    CStatusLabel& single = Make(SS_LEFT | SS_CENTERIMAGE, 300, 80, L"middle");
    single.SetTextColor(kRed);
    CRect ink = Paint(single)->Bounds(kRed);
    EXPECT_LE(std::abs((ink.top + ink.bottom) / 2 - 40), 4) << "centred vertically";
    EXPECT_LE(std::abs(ink.left - (300 - ink.right)), 3) << "and horizontally";

    CStatusLabel& twoLines = Make(SS_LEFT | SS_CENTERIMAGE, 300, 80, L"one\r\ntwo");
    twoLines.SetTextColor(kRed);
    auto t = Paint(twoLines);
    EXPECT_LE(t->Bounds(kRed).top, 5) << "starts at the top";
    EXPECT_EQ(t->RowRuns(kRed).size(), 2u);
}

TEST_F(StatusLabelTest, GradientBandsFromRedToBlue) {
    CStatusLabel& narrow = Make(SS_LEFT, 50, 12);
    narrow.SetBkColor(kRed, kBlue, TRUE);
    auto n = Paint(narrow);
    // 50 pixels: one band per column.
    for (int x = 0; x < 50; ++x) {
        SCOPED_TRACE(x);
        EXPECT_EQ(n->Pixel(x, 0), RedToBlueBand(x, 50));
        EXPECT_EQ(n->Pixel(x, 11), RedToBlueBand(x, 50)) << "the bottom row is painted too";
    }
    EXPECT_EQ(n->Pixel(0, 5), RGB(255, 0, 0));
    EXPECT_EQ(n->Pixel(49, 5), RGB(5, 0, 249));

    CStatusLabel& wide = Make(SS_LEFT, 1000, 12);
    wide.SetBkColor(kRed, kBlue, TRUE);
    auto w = Paint(wide);
    // 1000 pixels: 100 bands of 10, the last reaching the right edge.
    for (int band = 0; band < 100; ++band) {
        SCOPED_TRACE(band);
        for (int x = band * 10; x < band * 10 + 10; ++x)
            ASSERT_EQ(w->Pixel(x, 6), RedToBlueBand(band, 100));
    }
    EXPECT_EQ(w->Pixel(999, 6), RGB(2, 0, 252));
    EXPECT_NE(w->Pixel(989, 6), w->Pixel(990, 6));

    // Back to a solid colour: no gradient left.
    wide.SetBkColor(kWhite);
    EXPECT_EQ(Paint(wide)->Count(kWhite), 1000 * 12);
}

TEST_F(StatusLabelTest, TextBlinkAlternatesWithBlackAndStops) {
    CStatusLabel& label = Make(SS_LEFT, 200, 20, L"blinking");
    label.SetTextColor(kRed).FlashText(TRUE);
    // Every tick inverts the phase; the first one shows the text.
    label.SendMessage(WM_TIMER, 1);
    auto shown = Paint(label);
    EXPECT_GT(shown->Count(kRed), 10);
    label.SendMessage(WM_TIMER, 1);
    auto hidden = Paint(label);
    EXPECT_EQ(hidden->Count(kRed), 0);
    EXPECT_GT(hidden->Count(kBlack), 10);

    // With a background colour, the dark phase uses that colour: the text disappears.
    label.SetBkColor(kWhite);
    EXPECT_EQ(Paint(label)->Count(kWhite), 200 * 20);

    // The timer really runs: within a second or so the text comes back by itself.
    EXPECT_TRUE(PumpUntil([&] { return Paint(label)->Count(kRed) > 10; }, 3000));

    label.FlashText(FALSE);
    EXPECT_FALSE(::KillTimer(label.m_hWnd, 1)) << "the blink timer is gone";
    label.Invalidate();
    EXPECT_GT(Paint(label)->Count(kRed), 10);
}

TEST_F(StatusLabelTest, BackgroundBlinkSwapsTextAndBackground) {
    CStatusLabel& label = Make(SS_LEFT, 200, 20, L"attention");
    label.SetBkColor(kWhite).SetTextColor(kRed).FlashBackground(TRUE);
    label.SendMessage(WM_TIMER, 1);
    auto normal = Paint(label);
    EXPECT_EQ(normal->Pixel(199, 0), kWhite);
    EXPECT_GT(normal->Count(kRed), 10);
    label.SendMessage(WM_TIMER, 1);
    auto inverted = Paint(label);
    EXPECT_EQ(inverted->Pixel(199, 0), kRed);
    EXPECT_GT(inverted->Count(kWhite), 10);

    // Stopping in the inverted phase gives the normal look back.
    label.FlashBackground(FALSE);
    EXPECT_FALSE(::KillTimer(label.m_hWnd, 1));
    auto stopped = Paint(label);
    EXPECT_EQ(stopped->Pixel(199, 0), kWhite);
}

TEST_F(StatusLabelTest, ClickNotifiesTheParentOnceAndOpensNothing) {
    LinkOpener previous = SetLinkOpener(&OpenedLinks::Record);
    OpenedLinks::All().clear();
    CStatusLabel& label = Make(SS_LEFT, 200, 20, L"ops@example.com");
    EXPECT_FALSE(label.GetStyle() & SS_NOTIFY);
    label.SetLink(TRUE, TRUE);
    EXPECT_TRUE(label.GetStyle() & SS_NOTIFY) << "a static sees the mouse only with SS_NOTIFY";

    label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_EQ(parent.CountOf(WM_NOTIFY), 1);
    const auto& notify = parent.records.back();
    EXPECT_EQ(notify.wParam, static_cast<WPARAM>(kLabelId));
    EXPECT_EQ(notify.notify.code, LABELN_CLICKED);
    EXPECT_EQ(notify.notify.idFrom, static_cast<UINT_PTR>(kLabelId));
    EXPECT_EQ(notify.notify.hwndFrom, label.m_hWnd);
    EXPECT_TRUE(OpenedLinks::All().empty());

    // A mail link opens "mailto:" and the text with the default verb.
    label.SetMailtoLink(TRUE, FALSE).SetLinkTarget(L"https://ignored.example");
    label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    // An open link opens its own text, or the target once there is one.
    label.SetLink(TRUE, FALSE).SetLinkTarget(L"");
    label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    label.SetLinkTarget(L"https://example.com/help");
    label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_EQ(OpenedLinks::All().size(), 3u);
    EXPECT_EQ(OpenedLinks::All()[0],
              std::make_pair(std::wstring(L"(default)"), std::wstring(L"mailto:ops@example.com")));
    EXPECT_EQ(OpenedLinks::All()[1], std::make_pair(std::wstring(L"open"), std::wstring(L"ops@example.com")));
    EXPECT_EQ(OpenedLinks::All()[2],
              std::make_pair(std::wstring(L"open"), std::wstring(L"https://example.com/help")));
    EXPECT_EQ(parent.CountOf(WM_NOTIFY), 1);

    label.SetLink(FALSE, FALSE);
    EXPECT_FALSE(label.GetStyle() & SS_NOTIFY);
    SetLinkOpener(previous);
}

TEST_F(StatusLabelTest, LinkCursorIsShownOverTheLabel) {
    CStatusLabel& label = Make(SS_LEFT, 200, 20, L"link");
    HCURSOR hand = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));
    label.SetLinkCursor(hand);
    EXPECT_EQ(label.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(label.m_hWnd),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(::GetCursor(), hand);
}

TEST_F(StatusLabelTest, FontOperationsEditTheFontRecord) {
    CStatusLabel& label = Make(SS_LEFT, 300, 40, L"Font");
    const wchar_t longFace[] = L"An Extraordinarily Long Font Face Name Beyond Limits";
    label.SetFontName(longFace, GB2312_CHARSET);
    EXPECT_EQ(std::wstring(label.GetLogFontRecord().lfFaceName), std::wstring(longFace, 31));
    EXPECT_EQ(label.GetLogFontRecord().lfCharSet, GB2312_CHARSET);

    label.SetFontName(L"Tahoma");
    label.SetFontSize(20);
    LONG height20 = label.GetLogFontRecord().lfHeight;
    ClientDC screen(nullptr);
    EXPECT_EQ(height20, -::MulDiv(20, ::GetDeviceCaps(screen, LOGPIXELSY), 72));
    label.SetFontSize(0); // no such size: the height stays
    EXPECT_EQ(label.GetLogFontRecord().lfHeight, height20);

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

TEST_F(StatusLabelTest, TransparentThreeDimensionalAndRotatedText) {
    CStatusLabel& label = Make(SS_LEFT, 200, 60, L"Layered");
    label.SetFontName(L"Tahoma").SetFontSize(16).SetTextColor(kRed);
    label.SetTransparent(TRUE);
    Canvas under(200, 60, kBlue);
    PrintClient(label.m_hWnd, under);
    EXPECT_EQ(under.Pixel(199, 59), kBlue) << "nothing behind the text is painted";
    EXPECT_GT(under.Count(kRed), 10);
    label.SetTransparent(FALSE);
    EXPECT_TRUE(label.GetExStyle() & WS_EX_TRANSPARENT);
    EXPECT_EQ(Paint(label)->Pixel(199, 59), ::GetSysColor(COLOR_BTNFACE));

    label.SetText3DColor(kWhite).SetText3D(TRUE, TRUE);
    auto raised = Paint(label);
    CRect red = raised->Bounds(kRed);
    CRect white = raised->Bounds(kWhite);
    EXPECT_EQ(white.left, red.left + 1);
    EXPECT_EQ(white.top, red.top + 1);
    label.SetText3D(TRUE, FALSE);
    auto sunk = Paint(label);
    EXPECT_EQ(sunk->Bounds(kWhite).left, sunk->Bounds(kRed).left - 1);
    label.SetText3D(FALSE);

    // Rotated by 90 degrees, the text rises from the centre of the label.
    CStatusLabel& rotated = Make(SS_LEFT, 120, 120, L"Up");
    rotated.SetFontName(L"Tahoma").SetFontSize(14).SetTextColor(kRed).SetRotationAngle(90, TRUE);
    CRect ink = Paint(rotated)->Bounds(kRed);
    EXPECT_LE(ink.bottom, 62);
    EXPECT_LT(ink.top, 50);
    EXPECT_GT(ink.Height(), ink.Width());
}

TEST_F(StatusLabelTest, RepaintsAndColourChangesLeaveNoGdiObjectsBehind) {
    CStatusLabel& status = Make(SS_CENTER, 400, 20, L"status");
    CStatusLabel& counter = Make(SS_LEFT, 60, 20, L"0");
    status.SetFontName(L"Tahoma").SetFontSize(9);
    auto churn = [&](int rounds) {
        for (int i = 0; i < rounds; ++i) {
            CString number;
            number.Format(L"%d", i);
            status.SetTextColor(i % 2 ? kRed : kBlack).SetText(number);
            counter.SetTextColor(kBlue).SetText(number);
            status.SetBkColor(RGB(i % 256, 200, 200), kBlue, i % 3 == 0);
            counter.SetFontBold(i % 2);
            if (i % 100 == 0) {
                status.SendMessage(WM_SYSCOLORCHANGE);
                status.FlashText(i % 200 == 0);
            }
        }
        FlushEvents(20);
    };
    // Labels that go away take their font and brushes with them.
    auto comeAndGo = [&] {
        std::vector<std::unique_ptr<CStatusLabel>> many;
        for (int i = 0; i < 50; ++i) {
            many.push_back(std::make_unique<CStatusLabel>());
            many.back()->Create(L"x", WS_CHILD | WS_VISIBLE, CRect(0, 100, 50, 120), &parent, 500 + i);
            many.back()->SetBkColor(kWhite).SetFontBold(TRUE).SetLinkTarget(L"target");
        }
        FlushEvents(20);
        many.clear();
        FlushEvents(20);
    };
    // A first round fills the system's own caches (device contexts, fonts), which stay.
    churn(10);
    comeAndGo();
    int before = GdiObjectCount();
    ASSERT_GT(before, 0) << "no way to count the process's GDI objects";
    churn(1000);
    EXPECT_EQ(GdiObjectCount(), before);
    for (int i = 0; i < 3; ++i)
        comeAndGo();
    EXPECT_EQ(GdiObjectCount(), before);
}
