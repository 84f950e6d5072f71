#include "layout/ControlFit.h"

#include "base/ShownText.h"
#include "win/WinGdi.h"

#include <algorithm>
#include <sstream>

namespace layout {

namespace {

enum class Kind { kLabel, kWrappingLabel, kPushButton, kCheckBox, kGroupBox, kField, kOther };

const char* KindName(Kind kind) {
    switch (kind) {
    case Kind::kLabel:
    case Kind::kWrappingLabel:
        return "static";
    case Kind::kPushButton:
        return "button";
    case Kind::kCheckBox:
        return "check box/radio";
    case Kind::kGroupBox:
        return "group box";
    case Kind::kField:
        return "field";
    default:
        return "control";
    }
}

struct Control {
    HWND hwnd = nullptr;
    int id = 0;
    Kind kind = Kind::kOther;
    LONG style = 0;
    std::wstring text;
    RECT rect{}; // in the window's client coordinates
};

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

std::wstring TextOf(HWND hwnd) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, &text[0], static_cast<int>(text.size()))));
    return text;
}

Kind KindOf(const std::wstring& className, LONG style) {
    if (_wcsicmp(className.c_str(), L"Static") == 0) {
        switch (style & SS_TYPEMASK) {
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT:
            return Kind::kWrappingLabel;
        case SS_SIMPLE:
        case SS_LEFTNOWORDWRAP:
            return Kind::kLabel;
        default:
            return Kind::kOther; // pictures, frames, rectangles, owner-drawn
        }
    }
    if (_wcsicmp(className.c_str(), L"Button") == 0) {
        switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            return Kind::kPushButton;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return Kind::kCheckBox;
        case BS_GROUPBOX:
            return Kind::kGroupBox;
        default:
            return Kind::kOther;
        }
    }
    if (_wcsicmp(className.c_str(), L"Edit") == 0 || _wcsicmp(className.c_str(), L"ComboBox") == 0 ||
        _wcsicmp(className.c_str(), L"ListBox") == 0)
        return Kind::kField;
    return Kind::kOther;
}

std::vector<Control> VisibleControls(HWND window) {
    std::vector<Control> controls;
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child))
            continue;
        Control control;
        control.hwnd = child;
        control.id = ::GetDlgCtrlID(child);
        control.style = ::GetWindowLongW(child, GWL_STYLE);
        control.kind = KindOf(ClassOf(child), control.style);
        if (control.kind != Kind::kField)
            control.text = TextOf(child);
        ::GetWindowRect(child, &control.rect);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&control.rect), 2);
        controls.push_back(control);
    }
    return controls;
}

bool NoPrefix(const Control& control) {
    const bool bStatic = control.kind == Kind::kLabel || control.kind == Kind::kWrappingLabel;
    return bStatic && (control.style & SS_NOPREFIX) != 0;
}

// The text as drawn: "&&" shows one ampersand, a single one marks the access key and shows
// nothing.
std::wstring WithoutAccessMarks(const std::wstring& text) {
    std::wstring shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        else if (text[i] == L'&')
            continue;
        shown += text[i];
    }
    return shown;
}

HFONT FontOf(HWND control) {
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
}

int LineHeight(HWND control) {
    ClientDC dc(control);
    SelectScope font(dc, FontOf(control));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    return metrics.tmHeight;
}

// The block `text` takes wrapped at `width`, as a wrapping static draws it.
SIZE WrappedExtent(const Control& control, int width) {
    ClientDC dc(control.hwnd);
    SelectScope font(dc, FontOf(control.hwnd));
    RECT block{0, 0, width, 0};
    const UINT format = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | (NoPrefix(control) ? DT_NOPREFIX : 0);
    ::DrawTextW(dc, control.text.c_str(), -1, &block, format);
    return SIZE{block.right - block.left, block.bottom - block.top};
}

// The room left for the text inside the client area, per side.
SIZE Margins(const Control& control) {
    switch (control.kind) {
    case Kind::kPushButton: {
        const int side = (control.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? 4 : 3;
        return SIZE{2 * side, 2 * side};
    }
    case Kind::kCheckBox: {
        ClientDC dc(control.hwnd);
        SelectScope font(dc, FontOf(control.hwnd));
        INT digit = 0;
        ::GetCharWidthW(dc, L'0', L'0', &digit);
        // The box as the button draws it, which may be narrower than the menu's check mark.
        const int drawn = 12 * ::GetDeviceCaps(dc, LOGPIXELSX) / 96 + 1;
        const int box = std::min(::GetSystemMetrics(SM_CXMENUCHECK), drawn);
        return SIZE{box + digit / 2 + 2, 0};
    }
    case Kind::kGroupBox:
        return SIZE{16, 0};
    default:
        return SIZE{0, 0};
    }
}

std::string Name(const Control& control) {
    std::ostringstream name;
    name << "control " << control.id << " (" << KindName(control.kind) << ") " << Quoted(control.text);
    return name.str();
}

bool HasText(const Control& control) {
    return !control.text.empty() && control.kind != Kind::kOther && control.kind != Kind::kField;
}

bool IsWrapped(const Control& control) {
    RECT client{};
    ::GetClientRect(control.hwnd, &client);
    const bool bWraps = control.kind == Kind::kWrappingLabel ||
                        ((control.kind == Kind::kCheckBox || control.kind == Kind::kPushButton) &&
                         (control.style & BS_MULTILINE));
    return bWraps && client.bottom >= 2 * LineHeight(control.hwnd);
}

// The size the text takes as the control draws it.
SIZE Need(const Control& control, int roomWidth) {
    if (IsWrapped(control))
        return WrappedExtent(control, roomWidth);
    return TextExtent(control.hwnd, FontOf(control.hwnd), control.text, NoPrefix(control));
}

SIZE Room(const Control& control) {
    RECT client{};
    ::GetClientRect(control.hwnd, &client);
    const SIZE margins = Margins(control);
    return SIZE{client.right - margins.cx, client.bottom - margins.cy};
}

// Where the text lands in the window: aligned in its room as the control aligns it.
RECT TextBox(const Control& control, SIZE need) {
    const RECT& r = control.rect;
    const int width = r.right - r.left, height = r.bottom - r.top;
    const SIZE margins = Margins(control);
    int left = r.left, top = r.top;
    switch (control.kind) {
    case Kind::kPushButton:
        left += (width - need.cx) / 2;
        top += (height - need.cy) / 2;
        break;
    case Kind::kCheckBox:
        left += margins.cx - 1;
        top += (height - need.cy) / 2;
        break;
    case Kind::kGroupBox:
        left += margins.cx / 2;
        break;
    default:
        if ((control.style & SS_TYPEMASK) == SS_CENTER)
            left += (width - need.cx) / 2;
        else if ((control.style & SS_TYPEMASK) == SS_RIGHT)
            left = r.right - need.cx;
        if (control.style & SS_CENTERIMAGE)
            top += (height - need.cy) / 2;
        break;
    }
    return RECT{left, top, left + need.cx, top + need.cy};
}

// The text of one control against its room; empty when it fits.
std::string TextProblem(const Control& control, const std::string& where) {
    const SIZE room = Room(control);
    const SIZE need = Need(control, room.cx);
    // A group box's caption sits on its frame: only its width is bounded.
    const bool bTooTall = control.kind != Kind::kGroupBox && need.cy > room.cy;
    if (need.cx <= room.cx && !bTooTall)
        return std::string();
    std::ostringstream problem;
    problem << where << ": " << Name(control) << (IsWrapped(control) ? " wrapped" : "") << " needs "
            << need.cx << "x" << need.cy << " px, has " << room.cx << "x" << room.cy << " px in "
            << Describe(control.rect);
    return problem.str();
}

// The part of the window a control covers with what it draws: a group box's caption band and
// frame are told apart, so the controls inside it are no overlap.
struct Occupant {
    const Control* control;
    RECT rect;
};

RECT CaptionBand(const Control& box) {
    return TextBox(box, TextExtent(box.hwnd, FontOf(box.hwnd), box.text));
}

bool Contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Overlap(const RECT& a, const RECT& b) {
    RECT common{};
    return ::IntersectRect(&common, &a, &b) != FALSE;
}

void CheckOverlaps(const std::vector<Control>& controls, const std::string& where,
                   std::vector<std::string>& problems) {
    std::vector<Occupant> occupants;
    for (const Control& control : controls) {
        if (control.kind == Kind::kGroupBox) {
            if (!control.text.empty())
                occupants.push_back({&control, CaptionBand(control)});
        } else {
            occupants.push_back({&control, control.rect});
        }
    }
    for (size_t i = 0; i < occupants.size(); ++i)
        for (size_t j = i + 1; j < occupants.size(); ++j)
            if (Overlap(occupants[i].rect, occupants[j].rect))
                problems.push_back(where + ": " + Name(*occupants[i].control) + " in " +
                                   Describe(occupants[i].rect) + " overlaps " + Name(*occupants[j].control) +
                                   " in " + Describe(occupants[j].rect));
    // A control is inside a group box or clear of it, never across its frame.
    for (const Control& box : controls) {
        if (box.kind != Kind::kGroupBox)
            continue;
        for (const Control& other : controls)
            if (&other != &box && Overlap(box.rect, other.rect) && !Contains(box.rect, other.rect) &&
                !(other.kind == Kind::kGroupBox && Contains(other.rect, box.rect)))
                problems.push_back(where + ": " + Name(other) + " in " + Describe(other.rect) +
                                   " lies across the frame of " + Name(box) + " in " + Describe(box.rect));
    }
}

} // namespace

SIZE TextExtent(HWND control, HFONT font, const std::wstring& text, bool bNoPrefix) {
    const std::wstring shown = bNoPrefix ? text : WithoutAccessMarks(text);
    ClientDC dc(control);
    SelectScope selected(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
    return size;
}

std::string Quoted(const std::wstring& text) {
    const std::wstring shown = ShownText(text);
    std::string bytes(static_cast<size_t>(
                          ::WideCharToMultiByte(CP_UTF8, 0, shown.c_str(), -1, nullptr, 0, nullptr, nullptr)),
                      '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, shown.c_str(), -1, &bytes[0], static_cast<int>(bytes.size()), nullptr,
                          nullptr);
    bytes.pop_back();
    return "\"" + bytes + "\"";
}

std::string Describe(const RECT& rect) {
    std::ostringstream text;
    text << "(" << rect.left << "," << rect.top << ")-(" << rect.right << "," << rect.bottom << ")";
    return text.str();
}

std::vector<std::string> CheckControls(HWND window, const std::string& where) {
    std::vector<std::string> problems;
    const std::vector<Control> controls = VisibleControls(window);
    RECT client{};
    ::GetClientRect(window, &client);
    for (const Control& control : controls) {
        if (!HasText(control))
            continue;
        std::string problem = TextProblem(control, where);
        if (!problem.empty())
            problems.push_back(problem);
        // The window's edge cuts whatever text lies beyond it.
        const RECT text = TextBox(control, Need(control, Room(control).cx));
        if (!Contains(client, text))
            problems.push_back(where + ": " + Name(control) + " draws its text in " + Describe(text) +
                               ", beyond the window's client area " + Describe(client));
    }
    CheckOverlaps(controls, where, problems);
    return problems;
}

} // namespace layout
