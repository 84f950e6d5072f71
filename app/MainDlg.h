#pragma once
// The tool's only top-level window: the navigation bar on the left, the four pages on the
// right, one visible at a time. It owns the binding to the token module for its whole life:
// it binds the module while it initialises (closing itself when that fails) and releases
// it when it is destroyed, after every batch worker and the station have ended. A module the
// operator picks from the system menu replaces the binding at once, while no batch run or
// station is active. It also owns the operator's ledger, which the initialisation pages, the
// station and the information page write to.
#include "win/Afx.h"
#include "attempt/StockGateOwner.h"
#include "blank/BlankPage.h"
#include "info/InfoPage.h"
#include "controls/OutlookBar.h"
#include "controls/PagerCtrl.h"
#include "ledger/LedgerOwner.h"
#include "pki/PkiPage.h"
#include "stationpage/StationPage.h"
#include "stationpage/StationParameterSource.h"
#include "token/TokenModuleOwner.h"

#include <memory>
#include <string>

class CMainDlg : public CDialog,
                 public TokenModuleOwner,
                 public LedgerOwner,
                 public StockGateOwner,
                 public StationParameterSource {
  public:
    explicit CMainDlg(CWnd* pParent = nullptr);

    TokenModule* GetTokenModule() override { return m_tokenModule.get(); }
    Ledger* GetLedger() override { return &m_ledger; }
    StockGate* GetStockGate() override { return &m_stock; }
    // The station's parameters are those of the operation's own page.
    bool TakeStationParameters(StationOperation operation, StationParameters& parameters) override;

    // A click on the bar (WM_OUTLOOKBAR_CLICK): show page `index` (0 to 3) and mark its item.
    // Any other index changes no page but still becomes the bar's active item.
    LRESULT ShowPage(WPARAM index, LPARAM id);

    HICON m_hIcon;
    CPagerCtrl m_pager;
    COutlookBar m_bar;
    Ledger m_ledger;   // declared before the pages: it outlives their batch workers, which write to it
    StockGate m_stock; // the stock list in force (none at start); outlives the batch workers too
    StockList m_stockList;
    CBlankPage m_pageBlank;
    CPkiPage m_pagePki;
    CInfoPage m_pageInfo;
    CStationPage m_pageStation;
    // The module the operator picked (ModuleChoice.h), which may lack the vendor extension,
    // or the maker's module found by name. Replaced only on the interface thread while no
    // batch worker runs, so no attempt holds the one it replaces.
    std::unique_ptr<TokenModule> m_tokenModule;
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
