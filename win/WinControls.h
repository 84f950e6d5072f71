#pragma once
// Thin wrappers of the system controls the program uses. They are bound to the dialog's
// existing controls with DDX_Control, or created with Create.
#include "win/Wnd.h"

class CStatic : public CWnd {
  public:
    virtual BOOL Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);
};

class CEdit : public CWnd {
  public:
    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetSel(int startChar, int endChar, BOOL noScroll = FALSE);
    void SetLimitText(UINT maxChars);
    UINT GetLimitText() const;
    void ScrollCaret();
};

class CButton : public CWnd {
  public:
    virtual BOOL Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetCheck() const;
    void SetCheck(int check);
};

class CListBox : public CWnd {
  public:
    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int AddString(const wchar_t* item);
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int select);
    int GetItemRect(int index, LPRECT rect) const;
    // Index of the item nearest to `point` (client coordinates); `outside` is TRUE when the
    // point lies outside every item.
    UINT ItemFromPoint(CPoint point, BOOL& outside) const;

    // Owner-draw requests that the list box sent to its parent, handed back here.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT measureItem);
    virtual int CompareItem(LPCOMPAREITEMSTRUCT compareItem);
    virtual void DeleteItem(LPDELETEITEMSTRUCT deleteItem);

  protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
