#pragma once
// The "获取信息" page: reads the hardware information of the one token plugged in and shows
// it in six read-only fields, or, on a module without the vendor extension, the token
// information in rows of their own. Failures are told in message boxes; nothing is counted.
// Every query that shows a token's data is recorded in the operator's ledger.
#include "info/DeviceInfoQuery.h"
#include "win/Afx.h"
#include "win/PageDialog.h"
#include "workbench/Workbench.h"

#include <memory>
#include <vector>

class CInfoPage : public CPageDialog {
  public:
    CInfoPage(CWnd* pParent, Workbench& bench);

    CString m_strSerialNumber;
    CString m_strCosVersion;
    CString m_strProductionTime;
    CString m_strTotalSpace;
    CString m_strAtr;
    CString m_strDeviceType;

    // IDC_INFO_GET: the query.
    void OnGetInfo();
    // Empties every field and shows the set that fits the binding in force.
    void ClearFields();

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Every show and hide empties the fields.
    void OnShowWindow(BOOL bShow, UINT nStatus) override;

  private:
    void CreateStandardRows();
    void ShowStandardRows(bool bStandard);
    void ShowError(const std::wstring& text);

    Workbench& m_bench;

    // The standard path's rows, caption and value, in the order of StandardInfoFields().
    std::vector<std::unique_ptr<CStatic>> m_stdCaptions;
    std::vector<std::unique_ptr<CEdit>> m_stdValues;
};
