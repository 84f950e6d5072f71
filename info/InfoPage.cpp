#include "info/InfoPage.h"

#include "attempt/AttemptRunner.h"
#include "attempt/OutcomeText.h"
#include "info/DeviceInfoQuery.h"
#include "pagekit/PageSupport.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "res/resource.h"

CInfoPage::CInfoPage(CWnd* pParent) : CDialog(IDD_INFO_PAGE, pParent) {}

void CInfoPage::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_INFO_SERIAL, m_strSerialNumber);
    DDX_Text(pDX, IDC_INFO_COS_VERSION, m_strCosVersion);
    DDX_Text(pDX, IDC_INFO_PRODUCTION_TIME, m_strProductionTime);
    DDX_Text(pDX, IDC_INFO_TOTAL_SPACE, m_strTotalSpace);
    DDX_Text(pDX, IDC_INFO_ATR, m_strAtr);
    DDX_Text(pDX, IDC_INFO_DEVICE_TYPE, m_strDeviceType);
}

BOOL CInfoPage::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(LoadStringOrDefault(IDS_APP_TITLE).c_str());
    return TRUE;
}

BOOL CInfoPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_INFO_GET) {
        OnGetInfo();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CInfoPage::OnShowWindow(BOOL bShow, UINT nStatus) {
    CDialog::OnShowWindow(bShow, nStatus);
    ClearFields();
    if (CWnd* button = GetDlgItem(IDC_INFO_GET))
        GotoDlgCtrl(button);
}

void CInfoPage::OnGetInfo() {
    // The fields stay empty during the query and after any failure.
    ClearFields();
    DeviceInfoResult result = QueryDeviceInfo(CurrentTokenModule());
    if (result.attempt.kind != AttemptKind::Success) {
        ShowError(OutcomeText(result.attempt));
        return;
    }
    // A line that cannot be written changes nothing on screen: the query touched no token,
    // the data is shown all the same, and the next initialisation attempt tells the operator
    // about the ledger.
    RecordInfoQuery(result.attempt, CurrentLedger());
    m_strSerialNumber = result.texts.strSerialNumber;
    m_strCosVersion = result.texts.strCosVersion;
    m_strProductionTime = result.texts.strProductionTime;
    m_strTotalSpace = result.texts.strTotalSpace;
    m_strAtr = result.texts.strAtr;
    m_strDeviceType = result.texts.strDeviceType;
    UpdateData(FALSE);
}

void CInfoPage::ClearFields() {
    m_strSerialNumber.Empty();
    m_strCosVersion.Empty();
    m_strProductionTime.Empty();
    m_strTotalSpace.Empty();
    m_strAtr.Empty();
    m_strDeviceType.Empty();
    UpdateData(FALSE);
}

void CInfoPage::ShowError(const std::wstring& text) {
    MessageBox(text.c_str(), LoadStringOrDefault(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONERROR);
}
