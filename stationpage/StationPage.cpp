#include "stationpage/StationPage.h"

#include "base/OwnProgram.h"
#include "pagekit/PageSupport.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "token/TokenSlots.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace {

constexpr DWORD kLimitMinSeconds = 1;
constexpr DWORD kLimitMaxSeconds = 3600;
constexpr int kLimitTypingLimit = 4;
constexpr const wchar_t* kChildProgramName = L"vantor-cli.exe";

unsigned PhaseTextId(StationPhase phase) {
    switch (phase) {
    case StationPhase::Working:
        return IDS_TILE_WORKING;
    case StationPhase::Verifying:
        return IDS_TILE_VERIFYING;
    case StationPhase::Done:
        return IDS_TILE_DONE;
    case StationPhase::Empty:
    case StationPhase::Waiting:
        break;
    }
    return IDS_TILE_WAITING;
}

TileContent TileOf(const StationTile& tile) {
    TileContent content;
    content.slot = tile.slot;
    wchar_t caption[64];
    std::swprintf(caption, sizeof caption / sizeof caption[0], LoadStringOrDefault(IDS_TILE_SLOT).c_str(),
                  tile.slot);
    content.caption = caption;
    content.serial = tile.serial;
    content.phase = LoadStringOrDefault(PhaseTextId(tile.phase));
    if (tile.phase == StationPhase::Done) {
        content.text = tile.text;
        content.look = tile.bFailure ? TileLook::Failure : TileLook::Success;
    }
    return content;
}

// vantor-cli.exe in the folder of the running program.
std::wstring ChildProgramPath() {
    return OwnProgramFolder() + kChildProgramName;
}

} // namespace

CStationPage::CStationPage(CWnd* pParent, Workbench& bench, StationJobPages jobPages)
    : CPageDialog(IDD_STATION_PAGE, pParent), m_bench(bench), m_jobPages(jobPages) {
    m_bench.Runs().Join(*this);
}

CStationPage::~CStationPage() {
    CloseStation();
    m_bench.Runs().Leave(*this);
}

void CStationPage::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STATION_START, m_btnStart);
    DDX_Control(pDX, IDC_STATION_STOP, m_btnStop);
    DDX_Control(pDX, IDC_STATION_LIMIT, m_editLimit);
    DDX_Control(pDX, IDC_STATION_COUNT_TOTAL, m_lblTotal);
    DDX_Control(pDX, IDC_STATION_COUNT_SUCCESS, m_lblSuccess);
    DDX_Control(pDX, IDC_STATION_COUNT_FAIL, m_lblFail);
    DDX_Control(pDX, IDC_STATION_STATUS, m_lblStatus);
    DDX_Control(pDX, IDC_STATION_NOTE, m_lblNote);
    DDX_Control(pDX, IDC_STATION_TILES, m_tiles);
    DDX_Text(pDX, IDC_STATION_LIMIT, m_dwLimitSeconds);
    DDV_MinMaxDWord(pDX, m_dwLimitSeconds, kLimitMinSeconds, kLimitMaxSeconds);
}

BOOL CStationPage::OnInitDialog() {
    CDialog::OnInitDialog();
    m_lblSuccess.SetTextColor(kColorBlue);
    m_lblFail.SetTextColor(kColorRed);
    m_lblNote.SetTextColor(kColorBlue);
    m_editLimit.SetLimitText(kLimitTypingLimit);
    return FALSE;
}

BOOL CStationPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDC_STATION_START) {
            OnStart();
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_STATION_STOP) {
            OnStop();
            return TRUE;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

LRESULT CStationPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_STATION_REPORTS) {
        TakeReports();
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CStationPage::OnShowWindow(BOOL bShow, UINT nStatus) {
    CDialog::OnShowWindow(bShow, nStatus);
    // The taking ends here; what the station still reports goes to nobody but its end.
    EndStation();
    m_dwLimitSeconds = static_cast<DWORD>(kStationDefaultLimit.count());
    UpdateData(FALSE);
    ::CheckRadioButton(m_hWnd, IDC_STATION_WIPE, IDC_STATION_PKI, IDC_STATION_WIPE);
    m_tiles.Clear();
    for (unsigned long& count : m_shownCounts)
        count = 0;
    ShowCounters();
    ShowIdle();
    ShowStatus(m_lblStatus, kColorBlack, LoadStringOrDefault(IDS_STATION_READY));
}

JobOperation CStationPage::Operation() const {
    return ::IsDlgButtonChecked(m_hWnd, IDC_STATION_PKI) == BST_CHECKED ? JobOperation::Pki
                                                                        : JobOperation::Wipe;
}

void CStationPage::OnStart() {
    // A stopped batch run's attempt may still be inside the module.
    if (m_station || m_bench.Runs().IsHeld() || !UpdateData(TRUE))
        return;
    if (StartStation()) {
        // No page starts an attempt while the station's may touch a token.
        m_bench.Runs().Changed();
        ShowRunning();
        m_btnStop.SetFocus();
        ShowStatus(m_lblStatus, kColorBlack, LoadStringOrDefault(IDS_STATION_RUNNING));
        return;
    }
    // A refused field has the focus, which must come back to the page shown.
    if (!::IsWindowVisible(::GetFocus()))
        m_btnStart.SetFocus();
}

bool CStationPage::StartStation() {
    TokenModule* module = m_bench.Module();
    if (!IsModuleBound(module)) {
        ShowStatus(m_lblStatus, kColorRed, LoadStringOrDefault(IDS_INIT_MODULE_FAILED));
        return false;
    }
    CInitPage& jobPage = Operation() == JobOperation::Pki ? m_jobPages.pki : m_jobPages.wipe;
    StationParameters parameters;
    if (!jobPage.TakeStationParameters(parameters)) {
        if (!parameters.refusal.empty())
            ShowStatus(m_lblStatus, kColorRed, parameters.refusal);
        return false;
    }
    StationOptions options;
    options.childProgram = ChildProgramPath();
    if (::GetFileAttributesW(options.childProgram.c_str()) == INVALID_FILE_ATTRIBUTES) {
        ShowStatus(m_lblStatus, kColorRed, LoadStringOrDefault(IDS_STATION_NO_CHILD));
        return false;
    }
    // The module found by its maker's name is found so by the child too; a picked one is named.
    if (module->FileName() != VANTOR_TOKEN_MODULE_NAME)
        options.modulePath = module->FileName();
    options.limit = std::chrono::seconds(m_dwLimitSeconds);

    m_bDetached = false;
    m_tiles.Clear();
    // The counters add up over the runs while the page stays on screen, as on the other pages.
    std::copy(std::begin(m_shownCounts), std::end(m_shownCounts), std::begin(m_runBase));
    m_station = m_bench.StartStation(parameters.job, std::move(options), *this);
    if (!m_station) {
        ShowStatus(m_lblStatus, kColorRed, LoadStringOrDefault(IDS_INIT_MODULE_FAILED));
        return false;
    }
    return true;
}

void CStationPage::OnStop() {
    if (m_station)
        m_station->Stop();
    m_btnStop.EnableWindow(FALSE);
}

void CStationPage::EndStation() {
    if (!m_station)
        return;
    m_station->Stop();
    m_bDetached = true;
}

void CStationPage::CloseStation() {
    if (!m_station)
        return;
    m_bDetached = true;
    m_station->Close();
    m_station.reset();
    m_bench.Runs().Changed();
}

void CStationPage::ShowCounters() {
    ShowCount(m_lblTotal, m_shownCounts[0]);
    ShowCount(m_lblSuccess, m_shownCounts[1]);
    ShowCount(m_lblFail, m_shownCounts[2]);
}

void CStationPage::ShowIdle() {
    EnableInputs(TRUE);
    m_btnStart.EnableWindow(m_station ? FALSE : TRUE);
    m_btnStop.EnableWindow(FALSE);
}

void CStationPage::ShowRunning() {
    EnableInputs(FALSE);
    m_btnStart.EnableWindow(FALSE);
    m_btnStop.EnableWindow(TRUE);
}

void CStationPage::EnableInputs(BOOL bEnable) {
    for (int id : {IDC_STATION_WIPE, IDC_STATION_PKI, IDC_STATION_LIMIT})
        ::EnableWindow(::GetDlgItem(m_hWnd, id), bEnable);
}

// Station threads: each report is queued, and the page is told once until it takes them.

void CStationPage::Queue(Report report) {
    bool bFirst = false;
    {
        std::lock_guard<std::mutex> hold(m_reportLock);
        bFirst = m_reports.empty();
        m_reports.push_back(std::move(report));
    }
    if (bFirst)
        ::PostMessageW(m_hWnd, WM_STATION_REPORTS, 0, 0);
}

void CStationPage::ShowTile(const StationTile& tile) {
    Queue({Report::kTile, tile});
}

void CStationPage::ShowCounts(const RunCounts& counts) {
    Report report{Report::kCounts, {}};
    report.counts[0] = counts.total;
    report.counts[1] = counts.success;
    report.counts[2] = counts.failure;
    Queue(std::move(report));
}

void CStationPage::ShowTakingEnded() {
    Queue({Report::kTakingEnded, {}});
}

void CStationPage::ShowFinished() {
    Queue({Report::kFinished, {}});
}

// Interface thread.

void CStationPage::TakeReports() {
    std::vector<Report> reports;
    {
        std::lock_guard<std::mutex> hold(m_reportLock);
        reports.swap(m_reports);
    }
    for (const Report& report : reports)
        Show(report);
}

void CStationPage::Show(const Report& report) {
    if (report.kind == Report::kFinished) {
        // Every attempt has ended: the station's threads are done with the page.
        m_station.reset();
        m_bench.Runs().Changed();
        if (!m_bDetached) {
            ShowIdle();
            ShowStatus(m_lblStatus, kColorBlack, LoadStringOrDefault(IDS_STATION_FINISHED));
        } else {
            m_btnStart.EnableWindow(TRUE);
        }
        m_bDetached = false;
        if (CWnd* parent = GetParent())
            ::PostMessageW(parent->GetSafeHwnd(), WM_PAGE_WORKER_ENDED, 0, 0);
        return;
    }
    if (m_bDetached || !m_station)
        return;
    switch (report.kind) {
    case Report::kTile:
        if (report.tile.phase == StationPhase::Empty)
            m_tiles.RemoveTile(report.tile.slot);
        else
            m_tiles.ShowTile(TileOf(report.tile));
        break;
    case Report::kCounts:
        for (int i = 0; i < 3; ++i)
            m_shownCounts[i] = m_runBase[i] + report.counts[i];
        ShowCounters();
        break;
    case Report::kTakingEnded:
        m_btnStop.EnableWindow(FALSE);
        ShowStatus(m_lblStatus, kColorBlack, LoadStringOrDefault(IDS_STATION_TAKING_ENDED));
        break;
    case Report::kFinished:
        break;
    }
}
