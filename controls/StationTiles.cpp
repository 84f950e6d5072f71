#include "controls/StationTiles.h"

#include <algorithm>

namespace {

constexpr int kGap = 6;  // between tiles
constexpr int kPad = 6;  // inside a tile, left and right of its texts
constexpr int kEdge = 3; // the coloured frame
// A 16-digit serial number in bold digits is about this many type heights wide.
constexpr double kSerialWidthInHeights = 16 * 0.62;
// A tile holds the slot row, the serial number and a line of outcome text, each line about a
// quarter taller than its type: in serial type heights.
constexpr double kTileHeightInHeights = 2.65;
constexpr int kSmallPercent = 55; // the slot row and the outcome, against the serial number
constexpr int kLargestSerial = 40;
constexpr int kSmallestText = 11;
// Digits that stay bold and clear at every size; the other texts keep the dialog's face.
constexpr const wchar_t* kSerialFace = L"Tahoma";
// Fewer tiles than this are laid out as if there were this many: one token gets a tile, not
// the whole area.
constexpr int kFewestCells = 4;

constexpr COLORREF kAreaColour = RGB(255, 255, 255);
constexpr COLORREF kDimText = RGB(90, 96, 110);

struct LookColours {
    COLORREF frame;
    COLORREF fill;
    COLORREF text; // the outcome's: the status line's black or red
};

LookColours ColoursOf(TileLook look) {
    switch (look) {
    case TileLook::Success:
        return {RGB(0, 0, 255), RGB(236, 242, 255), RGB(0, 0, 0)};
    case TileLook::Failure:
        return {RGB(255, 0, 0), RGB(255, 234, 234), RGB(255, 0, 0)};
    case TileLook::Working:
        break;
    }
    return {RGB(135, 143, 162), RGB(255, 250, 226), RGB(0, 0, 0)};
}

int SerialHeightFor(int cellWidth, int cellHeight) {
    const int byWidth = static_cast<int>((cellWidth - 2 * (kPad + kEdge)) / kSerialWidthInHeights);
    const int byHeight = static_cast<int>((cellHeight - 2 * (kEdge + 1)) / kTileHeightInHeights);
    return std::max(1, std::min({byWidth, byHeight, kLargestSerial}));
}

int CellExtent(int total, int count) {
    return count > 0 ? (total - (count - 1) * kGap) / count : total;
}

FontHandle MakeFont(LOGFONTW lf, int height, bool bBold) {
    lf.lfHeight = -height;
    lf.lfWidth = 0;
    lf.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    lf.lfQuality = ANTIALIASED_QUALITY;
    return FontHandle(::CreateFontIndirectW(&lf));
}

FontHandle MakeSerialFont(LOGFONTW lf, int height) {
    ::lstrcpynW(lf.lfFaceName, kSerialFace, LF_FACESIZE);
    return MakeFont(lf, height, true);
}

int TextWidth(HDC dc, HFONT font, const std::wstring& text) {
    SelectScope selected(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// The height `text` takes in `font`, wrapped to `width`.
int WrappedHeight(HDC dc, HFONT font, const std::wstring& text, int width) {
    SelectScope selected(dc, font);
    CRect box(0, 0, width, 0);
    ::DrawTextW(dc, text.c_str(), -1, &box, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    return box.Height();
}

} // namespace

TileGrid ChooseTileGrid(int count, int width, int height) {
    count = std::max(count, kFewestCells);
    TileGrid best;
    int bestHeight = -1;
    for (int columns = 1; columns <= count; ++columns) {
        const int rows = (count + columns - 1) / columns;
        const int serial = SerialHeightFor(CellExtent(width, columns), CellExtent(height, rows));
        if (serial > bestHeight) {
            best = {columns, rows};
            bestHeight = serial;
        }
    }
    return best;
}

struct CStationTiles::Fonts {
    FontHandle serial;
    FontHandle small;
    FontHandle smallBold;
    int smallHeight = 0; // type height of the small texts
};

void CStationTiles::ShowTile(TileContent tile) {
    auto place =
        std::lower_bound(m_tiles.begin(), m_tiles.end(), tile.slot,
                         [](const TileContent& held, unsigned long slot) { return held.slot < slot; });
    if (place != m_tiles.end() && place->slot == tile.slot)
        *place = std::move(tile);
    else
        m_tiles.insert(place, std::move(tile));
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}

void CStationTiles::RemoveTile(unsigned long slot) {
    m_tiles.erase(std::remove_if(m_tiles.begin(), m_tiles.end(),
                                 [slot](const TileContent& tile) { return tile.slot == slot; }),
                  m_tiles.end());
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}

void CStationTiles::Clear() {
    m_tiles.clear();
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}

const TileContent* CStationTiles::FindTile(unsigned long slot) const {
    for (const TileContent& tile : m_tiles)
        if (tile.slot == slot)
            return &tile;
    return nullptr;
}

TileGrid CStationTiles::Grid() const {
    CRect client;
    GetClientRect(&client);
    return ChooseTileGrid(static_cast<int>(m_tiles.size()), client.Width(), client.Height());
}

CRect CStationTiles::CellSize() const {
    CRect client;
    GetClientRect(&client);
    const TileGrid grid = Grid();
    return CRect(0, 0, CellExtent(client.Width(), grid.columns), CellExtent(client.Height(), grid.rows));
}

int CStationTiles::SerialHeight() const {
    const CRect cell = CellSize();
    return SerialHeightFor(cell.Width(), cell.Height());
}

void CStationTiles::PreSubclassWindow() {
    CStatic::PreSubclassWindow();
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    if (font == nullptr || ::GetObjectW(font, sizeof m_lf, &m_lf) == 0)
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof m_lf, &m_lf);
}

LRESULT CStationTiles::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Printing the window must show what painting shows.
    if (message == WM_PRINTCLIENT) {
        OnPaint();
        return 0;
    }
    return CStatic::WindowProc(message, wParam, lParam);
}

BOOL CStationTiles::OnEraseBkgnd(HDC) {
    return TRUE;
}

void CStationTiles::OnPaint() {
    PaintDC paint(m_hWnd, GetPaintTarget());
    CRect client;
    GetClientRect(&client);
    PaintBuffered(paint, client, [&](HDC dc) { PaintInto(dc, client); });
}

void CStationTiles::PaintInto(HDC dc, const CRect& client) {
    BrushHandle area(::CreateSolidBrush(kAreaColour));
    ::FillRect(dc, &client, area);
    if (m_tiles.empty())
        return;
    const TileGrid grid = Grid();
    const CRect cell = CellSize();

    // Every serial number in one size: the largest the cells allow that the longest one fits.
    Fonts fonts;
    int serialHeight = SerialHeightFor(cell.Width(), cell.Height());
    fonts.serial = MakeSerialFont(m_lf, serialHeight);
    std::wstring longest;
    for (const TileContent& tile : m_tiles)
        if (tile.serial.size() > longest.size())
            longest = tile.serial;
    const int room = cell.Width() - 2 * (kPad + kEdge);
    const int wide = TextWidth(dc, fonts.serial, longest);
    if (wide > room && wide > 0) {
        serialHeight = std::max(kSmallestText, serialHeight * room / wide);
        fonts.serial = MakeSerialFont(m_lf, serialHeight);
    }
    fonts.smallHeight = std::max(kSmallestText, serialHeight * kSmallPercent / 100);
    fonts.small = MakeFont(m_lf, fonts.smallHeight, false);
    fonts.smallBold = MakeFont(m_lf, fonts.smallHeight, true);

    SavedDC saved(dc);
    ::SetBkMode(dc, TRANSPARENT);
    for (std::size_t i = 0; i < m_tiles.size(); ++i) {
        const int column = static_cast<int>(i) % grid.columns;
        const int row = static_cast<int>(i) / grid.columns;
        CRect box(0, 0, cell.Width(), cell.Height());
        box.OffsetRect(column * (cell.Width() + kGap), row * (cell.Height() + kGap));
        PaintTile(dc, box, m_tiles[i], fonts);
    }
}

void CStationTiles::PaintTile(HDC dc, const CRect& cell, const TileContent& tile, const Fonts& fonts) const {
    const LookColours colours = ColoursOf(tile.look);
    BrushHandle frame(::CreateSolidBrush(colours.frame));
    BrushHandle fill(::CreateSolidBrush(colours.fill));
    ::FillRect(dc, &cell, frame);
    CRect inner = cell;
    inner.DeflateRect(kEdge, kEdge);
    ::FillRect(dc, &inner, fill);
    inner.DeflateRect(kPad, 1);

    // The slot on the left, what is happening on the right.
    CRect line = inner;
    line.bottom = line.top + WrappedHeight(dc, fonts.small, L"0", inner.Width());
    {
        SelectScope font(dc, fonts.small);
        ::SetTextColor(dc, kDimText);
        ::DrawTextW(dc, tile.caption.c_str(), -1, &line, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    }
    {
        SelectScope font(dc, fonts.smallBold);
        ::SetTextColor(dc, tile.look == TileLook::Working ? kDimText : colours.text);
        ::DrawTextW(dc, tile.phase.c_str(), -1, &line, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
    }

    // The serial number, as large as the cell allows.
    CRect serial = inner;
    serial.top = line.bottom;
    {
        SelectScope font(dc, fonts.serial);
        ::SetTextColor(dc, RGB(0, 0, 0));
        CRect measured = serial;
        ::DrawTextW(dc, tile.serial.c_str(), -1, &measured,
                    DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        serial.bottom = serial.top + measured.Height();
        ::DrawTextW(dc, tile.serial.c_str(), -1, &serial, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    }

    // The outcome in its colour, in what is left of the tile: smaller type when it needs more
    // lines than are left.
    CRect outcome = inner;
    outcome.top = serial.bottom;
    if (outcome.Height() <= 0 || tile.text.empty())
        return;
    FontHandle smaller;
    HFONT outcomeFont = fonts.small;
    for (int height = fonts.smallHeight - 1;
         height >= kSmallestText &&
         WrappedHeight(dc, outcomeFont, tile.text, outcome.Width()) > outcome.Height();
         --height) {
        smaller = MakeFont(m_lf, height, false);
        outcomeFont = smaller;
    }
    SelectScope font(dc, outcomeFont);
    ::SetTextColor(dc, colours.text);
    ::DrawTextW(dc, tile.text.c_str(), -1, &outcome,
                DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_END_ELLIPSIS);
}
