#pragma once
// The station's tiles: one per token slot, in slot order, each showing the slot, the token's
// serial number in large type, what is happening and the outcome text in its colour. The
// tiles are laid out in the grid that gives them the largest type for their number, so eight
// to sixteen of them stay readable from a step away. Attach it to a static of a dialog
// template (DDX_Control); interface thread only.
#include "win/Afx.h"

#include <string>
#include <vector>

// A tile's colours: at work (or waiting), or the outcome's.
enum class TileLook { Working, Success, Failure };

struct TileContent {
    unsigned long slot = 0;
    std::wstring caption; // which slot, e.g. "槽位 3"
    std::wstring serial;
    std::wstring phase; // what is happening, e.g. "正在处理"
    std::wstring text;  // the outcome; empty until there is one
    TileLook look = TileLook::Working;
};

// Columns and rows for `count` tiles in `width` x `height` pixels: the grid whose cells give
// a 16-digit serial number the largest type.
struct TileGrid {
    int columns = 1;
    int rows = 1;
};
TileGrid ChooseTileGrid(int count, int width, int height);

class CStationTiles : public CStatic {
  public:
    // Adds the slot's tile or replaces it, and repaints.
    void ShowTile(TileContent tile);
    // The slot is free again: its tile goes.
    void RemoveTile(unsigned long slot);
    void Clear();
    const std::vector<TileContent>& Tiles() const { return m_tiles; }
    // The slot's tile, or null when it has none.
    const TileContent* FindTile(unsigned long slot) const;
    // The grid the tiles are drawn in now.
    TileGrid Grid() const;
    // The serial number's type height in pixels at the current grid.
    int SerialHeight() const;

  protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(HDC dc) override;

  private:
    struct Fonts;
    void PaintInto(HDC dc, const CRect& client);
    void PaintTile(HDC dc, const CRect& cell, const TileContent& tile, const Fonts& fonts) const;
    CRect CellSize() const;

    std::vector<TileContent> m_tiles;
    LOGFONTW m_lf{}; // the dialog's font: face and character set of every tile text
};
