#pragma once
// The tool's only top-level window: the navigation bar on the left, the four pages on the
// right, one visible at a time. It makes the program's workbench and hands it to every page:
// it binds the module while it initialises (closing itself when that fails) and releases it
// when it is destroyed, after every batch worker and the station have ended. A module the
// operator picks from the system menu replaces the binding at once, while no batch run or
// station is active. The workbench also holds the operator's ledger, which the initialisation
// pages, the station and the information page write to, and the stock list.
#include "win/Afx.h"
#include "wipepage/WipePage.h"
#include "infopage/InfoPage.h"
#include "controls/OutlookBar.h"
#include "controls/PagerCtrl.h"
#include "pkipage/PkiPage.h"
#include "stationpage/StationPage.h"
#include "workbench/Workbench.h"

#include <memory>
#include <string>

class CMainDlg : public CDialog {
  public:
    explicit CMainDlg(CWnd* pParent = nullptr);

    // A click on the bar (WM_OUTLOOKBAR_CLICK): show page `index` (0 to 3) and mark its item.
    // Any other index changes no page but still becomes the bar's active item.
    LRESULT ShowPage(WPARAM index, LPARAM id);

    HICON m_hIcon;
    CPagerCtrl m_pager;
    COutlookBar m_bar;
    // Declared before the pages: the binding, the ledger and the stock list outlive their batch
    // workers and the station, which use them. The module the operator picked (ModuleChoice.h),
    // which may lack the vendor extension, or the maker's module found by name; replaced only on
    // the interface thread while no run is at work, so no attempt holds the one it replaces.
    Workbench m_bench;
    CWipePage m_pageWipe;
    CPkiPage m_pagePki;
    CInfoPage m_pageInfo;
    CStationPage m_pageStation;
    bool m_bPickedModule = false;

  protected:
    BOOL OnInitDialog() override;
    // Enter never closes the main window. Esc and the close box hide it at once; it ends
    // once every batch worker and the station have reported their end (a station's hung
    // attempts are killed at their limit), so the release follows the last call.
    void OnOK() override {}
    void OnCancel() override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    // F1 opens nothing.
    BOOL OnHelpInfo(HELPINFO* pHelpInfo) override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void EndWhenWorkersHaveEnded();
    void AddSystemMenuItems();
    // IDM_SWITCH_LANGUAGE: remembers the language not shown for this user and says, in both
    // languages, that it applies from the next start.
    void SwitchLanguage();
    // IDM_LOAD_STOCK: asks for a stock list and puts it in force on both initialisation pages.
    void LoadStockList();
    // IDM_CHOOSE_MODULE: a module file picked and bound at once. IDM_DEFAULT_MODULE: the
    // maker's module found by name again. Both refused while a batch run is active.
    void ChooseModule();
    void UseDefaultModule();
    bool RefuseWhileRunning();
    // A batch worker (even one finishing a stopped run) or the station is still at work.
    bool IsAnyRunActive();
    // Releases the binding in force and binds `file` in its place; when that fails (its
    // message shown) the previous module is bound again. True when `file` is bound.
    bool Rebind(const std::wstring& file, bool bPicked);
    // The title names a picked module and its path; the default item only offered then.
    void ShowModuleInUse();
    void CreateNavigation();
    void CreatePages();
    // The pages not shown at start are made one by one once the window has shown
    // (MainDlgLater.cpp), or all at once when anything reaches for them before that.
    void ScheduleLaterPages();
    // True for the timer's own message, which needs nothing else.
    bool TakeLaterPagesMessage(UINT message, WPARAM wParam);
    // Makes the next page still to make; false once none is left.
    bool CreateNextLaterPage();
    int m_nLaterPages = 0; // pages still to make

    bool m_bClosing = false;
};
