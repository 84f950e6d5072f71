#include "app/MainDlg.h"

#include "app/AboutDlg.h"
#include "app/SupervisorMenu.h"
#include "app/ModuleChoice.h"
#include "app/SealCertificateChoice.h"
#include "base/Language.h"
#include "base/LanguageChoice.h"
#include "ledger/LedgerFolder.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "res/resource.h"

#include <shellapi.h>

#include <iterator>

namespace {

constexpr COLORREF kBarBackColor = 0x00A28F87; // greyish slate blue
constexpr COLORREF kBarTextColor = 0x00FFFFFF;
constexpr int kPagerButtonSize = 5;

// The binding's failures and refusals as message boxes owned by the main window.
class ModuleMessageBox final : public ModuleMessageSink {
  public:
    explicit ModuleMessageBox(CWnd& owner) : m_owner(owner) {}
    void ShowModuleMessage(unsigned messageId) override {
        m_owner.MessageBox(LoadStringOrDefault(messageId).c_str(), LoadStringOrDefault(IDS_APP_TITLE).c_str(),
                           MB_OK | MB_ICONERROR);
    }

  private:
    CWnd& m_owner;
};

} // namespace

CMainDlg::CMainDlg(CWnd* pParent)
    : CDialog(IDD_MAIN, pParent), m_hIcon(LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_APP))),
      m_pageWipe(nullptr, m_bench), m_pagePki(nullptr, m_bench), m_pageInfo(nullptr, m_bench),
      m_pageStation(nullptr, m_bench, {m_pageWipe, m_pagePki}) {
    m_bench.OpenLedger(std::make_unique<Ledger>());
    // The binding the window starts with: the remembered module, or the maker's found by name.
    const std::wstring picked = RememberedModulePath();
    m_bPickedModule = !picked.empty();
    m_bench.Bind(
        std::make_unique<TokenModule>(m_bPickedModule ? picked : VANTOR_TOKEN_MODULE_NAME, m_bPickedModule));
}

BOOL CMainDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(LoadStringOrDefault(IDS_APP_TITLE).c_str());
    AddSystemMenuItems();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    ModuleMessageBox messages(*this);
    if (m_bench.Module()->LoadTokenModule(messages) != CKR_OK) {
        EndDialog(IDOK);
        return TRUE;
    }
    ShowModuleInUse();
    PutRememberedSealCertificate(m_bench);
    CreateNavigation();
    CreatePages();
    ShowPage(0, IDC_MAIN_NAV_BAR);
    return TRUE;
}

namespace {

// The system menu item that opens the ledger folder.
const wchar_t* LedgerMenuText() {
    return Localized(L"打开记录文件夹(&L)", L"Open the &ledger folder");
}
// The system menu items that bind another token module at once.
const wchar_t* ChooseModuleMenuText() {
    return Localized(L"选择令牌模块(&M)...", L"Choose the token &module...");
}
const wchar_t* DefaultModuleMenuText() {
    return Localized(L"使用默认令牌模块(&D)", L"Use the &default token module");
}

// Creates the ledger's folder when needed and opens it in the shell.
void OpenLedgerFolder() {
    const LedgerPath folder = DefaultLedgerFolder();
    if (CreateLedgerFolders(folder))
        ::ShellExecuteW(nullptr, L"open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace

void CMainDlg::AddSystemMenuItems() {
    CMenu* systemMenu = GetSystemMenu(FALSE);
    if (systemMenu == nullptr || systemMenu->GetSafeHmenu() == nullptr)
        return;
    systemMenu->AppendMenu(MF_SEPARATOR);
    // Loaded directly: without the entry there is no About item.
    std::wstring about = LoadStringDirect(IDS_ABOUTBOX);
    if (!about.empty())
        systemMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about.c_str());
    systemMenu->AppendMenu(MF_STRING, IDM_OPEN_LEDGER, LedgerMenuText());
    systemMenu->AppendMenu(MF_STRING, IDM_LOAD_STOCK,
                           Localized(L"载入本批清单(&K)...", L"Load the stoc&k list..."));
    systemMenu->AppendMenu(MF_STRING, IDM_OPEN_REPORT, Localized(L"查看今日报告(&R)", L"Today's &report"));
    systemMenu->AppendMenu(MF_STRING, IDM_CHOOSE_MODULE, ChooseModuleMenuText());
    systemMenu->AppendMenu(MF_STRING, IDM_DEFAULT_MODULE, DefaultModuleMenuText());
    systemMenu->AppendMenu(MF_STRING, IDM_SEAL_CERTIFICATE,
                           Localized(L"选择PIN信封证书...", L"Choose the PIN envelope certificate..."));
    systemMenu->AppendMenu(MF_STRING, IDM_PIN_LETTERS,
                           Localized(L"打印今日PIN密码函(&P)", L"Print today's &PIN letters"));
    // Named in the language it switches to, so an operator who cannot read the one shown finds it.
    systemMenu->AppendMenu(MF_SEPARATOR);
    systemMenu->AppendMenu(MF_STRING, IDM_SWITCH_LANGUAGE, Localized(L"English", L"中文"));
}

void CMainDlg::SwitchLanguage() {
    // Every text of this message stands in both languages: the operator who chose the other
    // one may not read the one shown. The pages are built from their templates at start, so
    // the choice takes effect at the next one.
    const Language next = ShownLanguage() == Language::kChinese ? Language::kEnglish : Language::kChinese;
    std::wstring text;
    if (!RememberLanguage(next))
        text = L"未能保存界面语言的选择。\nThe choice of language could not be saved.";
    else if (next == Language::kEnglish)
        text = L"下次启动时将使用英文界面。\nVantor will speak English from its next start.";
    else
        text = L"下次启动时将使用中文界面。\nVantor will speak Chinese from its next start.";
    if (LanguageFromEnvironment())
        text += L"\n\n设置了VANTOR_LANG时，界面语言由VANTOR_LANG决定。\nWhile VANTOR_LANG is set, it decides "
                L"the language.";
    MessageBox(text.c_str(), LoadStringOrDefault(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONINFORMATION);
}

void CMainDlg::LoadStockList() {
    if (AskAndPutStockInForce(*this, m_bench.Stock(), m_bench.StockListRead(),
                              m_bench.GetLedger()->Folder())) {
        m_pageWipe.ShowStockLine();
        m_pagePki.ShowStockLine();
    }
}

void CMainDlg::ChooseModule() {
    if (RefuseWhileRunning())
        return;
    const std::wstring path = PickModuleFile(m_hWnd);
    if (path.empty() || !Rebind(path, true))
        return;
    if (!RememberModulePath(path))
        ModuleMessageBox(*this).ShowModuleMessage(IDS_MODULE_NOT_SAVED);
}

void CMainDlg::UseDefaultModule() {
    if (RefuseWhileRunning() || !Rebind(VANTOR_TOKEN_MODULE_NAME, false))
        return;
    if (!ForgetModulePath())
        ModuleMessageBox(*this).ShowModuleMessage(IDS_MODULE_NOT_SAVED);
}

bool CMainDlg::RefuseWhileRunning() {
    // A worker still finishing a stopped run may be inside the module as well; the station's
    // poller lists slots through the binding.
    if (!IsAnyRunActive())
        return false;
    ModuleMessageBox(*this).ShowModuleMessage(IDS_MODULE_RUN_ACTIVE);
    return true;
}

bool CMainDlg::Rebind(const std::wstring& file, bool bPicked) {
    const std::wstring previous = m_bench.Module()->FileName();
    const bool bPreviousPicked = m_bPickedModule;
    ModuleMessageBox messages(*this);
    m_bench.Bind(std::make_unique<TokenModule>(file, bPicked));
    const bool bBound = m_bench.Module()->LoadTokenModule(messages) == CKR_OK;
    if (bBound) {
        m_bPickedModule = bPicked;
    } else {
        m_bench.Bind(std::make_unique<TokenModule>(previous, bPreviousPicked));
        m_bench.Module()->LoadTokenModule(messages);
    }
    ShowModuleInUse();
    // The pages show the fields of the path now in force.
    m_pagePki.EnableInputs();
    m_pageInfo.ClearFields();
    return bBound;
}

void CMainDlg::ShowModuleInUse() {
    // A module the operator picked is named in the title, with the path it takes.
    std::wstring title = LoadStringOrDefault(IDS_APP_TITLE);
    if (m_bPickedModule)
        title +=
            L" - " + m_bench.Module()->FileName() +
            (m_bench.Module()->IsStandard() ? Localized(L"（标准接口）", L" (standard interface)") : L"");
    SetWindowText(title.c_str());
    CMenu* systemMenu = GetSystemMenu(FALSE);
    if (systemMenu != nullptr && systemMenu->GetSafeHmenu() != nullptr)
        ::EnableMenuItem(systemMenu->GetSafeHmenu(), IDM_DEFAULT_MODULE,
                         MF_BYCOMMAND | (m_bPickedModule ? MF_ENABLED : MF_GRAYED));
}

void CMainDlg::CreateNavigation() {
    CWnd* frame = GetDlgItem(IDC_MAIN_NAV_FRAME);
    if (frame == nullptr)
        return;
    CRect rect;
    frame->GetClientRect(&rect);

    // The bar's parent is the pager, so its clicks must be told to come here.
    m_bar.SetOwner(this);
    m_bar.m_crBackColor = kBarBackColor;
    m_bar.m_crTextColor = kBarTextColor;
    m_pager.Create(WS_CHILD | WS_VISIBLE, rect, frame, IDC_MAIN_NAV_PAGER);
    m_bar.Create(WS_CHILD | WS_VISIBLE, rect, &m_pager, IDC_MAIN_NAV_BAR);
    m_bar.AddItem(IDI_NAV_WIPE, LoadStringOrDefault(IDS_NAV_WIPE).c_str());
    m_bar.AddItem(IDI_NAV_PKI, LoadStringOrDefault(IDS_NAV_PKI).c_str());
    m_bar.AddItem(IDI_NAV_INFO, LoadStringOrDefault(IDS_NAV_INFO).c_str());
    m_bar.AddItem(IDI_NAV_STATION, LoadStringOrDefault(IDS_NAV_STATION).c_str());
    m_pager.SetChild(m_bar.GetSafeHwnd());
    m_pager.SetButtonSize(kPagerButtonSize);
}

void CMainDlg::CreatePages() {
    CRect rect;
    if (CWnd* frame = GetDlgItem(IDC_MAIN_PAGE_FRAME)) {
        frame->GetWindowRect(&rect);
        ScreenToClient(&rect);
    }
    // The page shown first; the others follow once the window shows.
    m_pageWipe.Create(IDD_WIPE_PAGE, this);
    m_pageWipe.MoveWindow(&rect, TRUE);
    ScheduleLaterPages();
}

LRESULT CMainDlg::ShowPage(WPARAM index, LPARAM /*id*/) {
    // Hide before show: each page resets itself on both, which also ends a batch run or the
    // station's taking of tokens.
    CWnd* pages[] = {&m_pageWipe, &m_pagePki, &m_pageInfo, &m_pageStation};
    const int shown = static_cast<int>(index);
    if (shown >= 0 && shown < static_cast<int>(std::size(pages))) {
        for (int i = 0; i < static_cast<int>(std::size(pages)); ++i)
            if (i != shown)
                pages[i]->ShowWindow(SW_HIDE);
        pages[shown]->ShowWindow(SW_SHOW);
    }
    m_bar.SetActiveItem(static_cast<int>(index));
    m_bar.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return 0;
}

LRESULT CMainDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (TakeLaterPagesMessage(message, wParam))
        return 0;
    if (message == WM_OUTLOOKBAR_CLICK)
        return ShowPage(wParam, lParam);
    if (message == WM_PAGE_WORKER_ENDED) {
        EndWhenWorkersHaveEnded();
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CMainDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
        return;
    }
    if ((nID & 0xFFF0) == IDM_OPEN_LEDGER) {
        OpenLedgerFolder();
        return;
    }
    if ((nID & 0xFFF0) == IDM_LOAD_STOCK) {
        LoadStockList();
        return;
    }
    if ((nID & 0xFFF0) == IDM_OPEN_REPORT) {
        OpenTodaysReport(*this, m_bench.GetLedger()->Folder(), m_bench.StockInForce());
        return;
    }
    if ((nID & 0xFFF0) == IDM_CHOOSE_MODULE) {
        ChooseModule();
        return;
    }
    if ((nID & 0xFFF0) == IDM_DEFAULT_MODULE) {
        UseDefaultModule();
        return;
    }
    if ((nID & 0xFFF0) == IDM_PIN_LETTERS) {
        OpenTodaysPinLetters(*this, m_bench.GetLedger()->Folder());
        return;
    }
    if ((nID & 0xFFF0) == IDM_SWITCH_LANGUAGE) {
        SwitchLanguage();
        return;
    }
    if ((nID & 0xFFF0) == IDM_SEAL_CERTIFICATE) {
        AskAndPutSealCertificate(*this, m_bench);
        return;
    }
    CDialog::OnSysCommand(nID, lParam);
}

void CMainDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    CRect client;
    GetClientRect(&client);
    int x = (client.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &ps);
}

HCURSOR CMainDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

BOOL CMainDlg::OnHelpInfo(HELPINFO*) {
    return TRUE;
}

void CMainDlg::OnCancel() {
    ShowWindow(SW_HIDE);
    m_bClosing = true;
    m_pageWipe.EndBatch();
    m_pagePki.EndBatch();
    m_pageStation.EndStation();
    EndWhenWorkersHaveEnded();
}

void CMainDlg::EndWhenWorkersHaveEnded() {
    if (m_bClosing && !IsAnyRunActive())
        EndDialog(IDCANCEL);
}

bool CMainDlg::IsAnyRunActive() {
    return m_bench.Runs().AnyBusy();
}

void CMainDlg::OnDestroy() {
    CDialog::OnDestroy();
    // Closing has already waited for the workers; a window destroyed any other way ends its
    // runs here, so no worker calls the module after it is gone.
    m_pageWipe.StopBatchAndWait();
    m_pagePki.StopBatchAndWait();
    m_pageStation.CloseStation();
    m_bench.Module()->UnloadTokenModule();
}
