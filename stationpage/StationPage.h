#pragma once
// The "工位模式" page: while its station runs, every token plugged in is handled at once, each
// shown on a tile of its slot (serial number, what is happening, the outcome in its colour),
// with the counters (total, success, failure). The operator picks the operation and the time
// limit; the parameters are those of the operation's own page.
//
// The page only shows what its station tells it: the station's threads queue what they report
// and the page takes it on its interface thread. Every show and every hide resets the page
// and ends the taking of new tokens, as the other pages end their batch runs.
#include "controls/StationTiles.h"
#include "pagekit/InitPage.h"
#include "controls/StatusLabel.h"
#include "station/Station.h"
#include "win/Afx.h"
#include "win/PageDialog.h"
#include "workbench/Workbench.h"

#include <memory>
#include <mutex>
#include <vector>

// Posted to the page when its station has reported something.
constexpr UINT WM_STATION_REPORTS = WM_APP + 0x53;

// The pages whose fields the station takes for its operation.
struct StationJobPages {
    CInitPage& wipe;
    CInitPage& pki;
};

class CStationPage : public CPageDialog, public StationFrontEnd, public RunGate::Member {
  public:
    CStationPage(CWnd* pParent, Workbench& bench, StationJobPages jobPages);
    ~CStationPage() override;

    CButton m_btnStart;
    CButton m_btnStop;
    CEdit m_editLimit;
    CStatusLabel m_lblTotal;
    CStatusLabel m_lblSuccess;
    CStatusLabel m_lblFail;
    CStatusLabel m_lblStatus;
    CStatusLabel m_lblNote;
    CStationTiles m_tiles;
    DWORD m_dwLimitSeconds = static_cast<DWORD>(kStationDefaultLimit.count());

    // Station threads.
    void ShowTile(const StationTile& tile) override;
    void ShowCounts(const RunCounts& counts) override;
    void ShowTakingEnded() override;
    void ShowFinished() override;

    // Interface thread.
    void OnStart();
    void OnStop();
    // A station has been started and has not finished (it may still finish stopped attempts).
    bool HasStation() const { return m_station != nullptr; }
    // The gate's view: a station holds the module from its start until its last attempt ended.
    bool HoldsModule() const override { return HasStation(); }
    bool IsBusy() const override { return HasStation(); }
    // Ends the taking of new tokens; nothing the station still reports reaches the page
    // except its end.
    void EndStation();
    // Stops the station and waits for its attempts, each at most until its limit: only for
    // the window's end, before the module is released.
    void CloseStation();

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnShowWindow(BOOL bShow, UINT nStatus) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    struct Report {
        enum Kind { kTile, kCounts, kTakingEnded, kFinished } kind;
        StationTile tile;
        unsigned long counts[3] = {0, 0, 0};
    };
    void Queue(Report report);
    void TakeReports();
    void Show(const Report& report);
    bool StartStation();
    void ShowCounters();
    void ShowIdle();
    void ShowRunning();
    void EnableInputs(BOOL bEnable);
    JobOperation Operation() const;

    Workbench& m_bench;
    const StationJobPages m_jobPages;
    std::mutex m_reportLock;
    std::vector<Report> m_reports;              // guarded by m_reportLock
    bool m_bDetached = false;                   // the station was ended by a reset: only its end counts
    unsigned long m_shownCounts[3] = {0, 0, 0}; // total, success, failure as shown
    unsigned long m_runBase[3] = {0, 0, 0};     // what was shown when the run started
    // Declared last: it is closed before the reports and the window go.
    std::unique_ptr<Station> m_station;
};
