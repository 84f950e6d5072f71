#include "infopage/InfoPage.h"

#include "attempt/AttemptRunner.h"
#include "attempt/OutcomeText.h"
#include "base/Utf8.h"
#include "info/DeviceInfoQuery.h"
#include "pagekit/PageSupport.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "res/resource.h"

#include <algorithm>

namespace {

// The vendor record's fields with their captions.
constexpr int kVendorIds[] = {IDC_INFO_SERIAL,
                              IDC_INFO_COS_VERSION,
                              IDC_INFO_PRODUCTION_TIME,
                              IDC_INFO_TOTAL_SPACE,
                              IDC_INFO_ATR,
                              IDC_INFO_DEVICE_TYPE,
                              IDC_INFO_SERIAL_CAPTION,
                              IDC_INFO_COS_VERSION_CAPTION,
                              IDC_INFO_PRODUCTION_TIME_CAPTION,
                              IDC_INFO_TOTAL_SPACE_CAPTION,
                              IDC_INFO_ATR_CAPTION,
                              IDC_INFO_DEVICE_TYPE_CAPTION};

} // namespace

CInfoPage::CInfoPage(CWnd* pParent, Workbench& bench) : CPageDialog(IDD_INFO_PAGE, pParent), m_bench(bench) {}

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
    CreateStandardRows();
    return TRUE;
}

void CInfoPage::CreateStandardRows() {
    // The rows share the space of the six vendor rows, in their columns.
    CWnd* first = GetDlgItem(IDC_INFO_SERIAL);
    CWnd* last = GetDlgItem(IDC_INFO_DEVICE_TYPE);
    CWnd* caption = GetDlgItem(IDC_INFO_SERIAL_CAPTION);
    if (first == nullptr || last == nullptr || caption == nullptr)
        return;
    const CRect top = RectInParent(*this, *first);
    const CRect bottom = RectInParent(*this, *last);
    const CRect captionTop = RectInParent(*this, *caption);
    const std::vector<StandardInfoField> fields = StandardInfoFields();
    const int step = (bottom.bottom - top.top) / static_cast<int>(fields.size());
    const int height = std::min(top.Height(), step - 2);
    const int captionDrop = std::max(0, (height - captionTop.Height()) / 2);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const int y = top.top + static_cast<int>(i) * step;
        auto label = std::make_unique<CStatic>();
        label->Create(
            Utf8ToWide(fields[i].caption).c_str(), WS_CHILD | SS_RIGHT,
            CRect(captionTop.left, y + captionDrop, captionTop.right, y + captionDrop + captionTop.Height()),
            this);
        auto value = std::make_unique<CEdit>();
        value->Create(WS_CHILD | WS_BORDER | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL,
                      CRect(top.left, y, top.right, y + height), this,
                      static_cast<UINT>(IDC_INFO_STD_FIRST + static_cast<int>(i)));
        label->SetFont(GetFont(), FALSE);
        value->SetFont(GetFont(), FALSE);
        m_stdCaptions.push_back(std::move(label));
        m_stdValues.push_back(std::move(value));
    }
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
    DeviceInfoResult result = QueryDeviceInfo(m_bench.Module());
    if (result.attempt.Kind() != AttemptKind::Success) {
        ShowError(OutcomeText(result.attempt));
        return;
    }
    // A line that cannot be written changes nothing on screen: the query touched no token,
    // the data is shown all the same, and the next initialisation attempt tells the operator
    // about the ledger.
    RecordInfoQuery(result.attempt, m_bench.GetLedger());
    for (std::size_t i = 0; i < result.standardFields.size() && i < m_stdValues.size(); ++i)
        m_stdValues[i]->SetWindowText(result.standardFields[i].value.c_str());
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
    for (const auto& value : m_stdValues)
        value->SetWindowText(L"");
    const TokenModule* module = m_bench.Module();
    ShowStandardRows(module != nullptr && module->IsStandard());
}

void CInfoPage::ShowStandardRows(bool bStandard) {
    for (int id : kVendorIds)
        if (CWnd* control = GetDlgItem(id))
            control->ShowWindow(bStandard ? SW_HIDE : SW_SHOW);
    for (const auto& caption : m_stdCaptions)
        caption->ShowWindow(bStandard ? SW_SHOW : SW_HIDE);
    for (const auto& value : m_stdValues)
        value->ShowWindow(bStandard ? SW_SHOW : SW_HIDE);
}

void CInfoPage::ShowError(const std::wstring& text) {
    MessageBox(text.c_str(), LoadStringOrDefault(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONERROR);
}
