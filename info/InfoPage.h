#pragma once
// The "获取信息" page: reads the hardware information of the one token plugged in and shows
// it in six read-only fields. Failures are told in message boxes; nothing is counted. Every
// query that shows a token's data is recorded in the operator's ledger.
#include "info/DeviceInfoQuery.h"
#include "win/Afx.h"

class CInfoPage : public CDialog {
  public:
    explicit CInfoPage(CWnd* pParent = nullptr);

    CString m_strSerialNumber;
    CString m_strCosVersion;
    CString m_strProductionTime;
    CString m_strTotalSpace;
    CString m_strAtr;
    CString m_strDeviceType;

    // IDC_INFO_GET: the query.
    void OnGetInfo();

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter and Esc never close or hide the page.
    void OnOK() override {}
    void OnCancel() override {}
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Every show and hide empties the fields.
    void OnShowWindow(BOOL bShow, UINT nStatus) override;

  private:
    void ClearFields();
    void ShowError(const std::wstring& text);
};
