#include "app/SupervisorMenu.h"

#include "base/ShownPath.h"
#include "base/Utf8.h"
#include "ledger/LedgerDay.h"
#include "ledger/LedgerLine.h"
#include "ledger/LedgerSources.h"
#include "report/ReportHtml.h"
#include "res/StringIds.h"
#include "res/StringTable.h"

#include <commdlg.h>
#include <shellapi.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

void ShowProblem(CWnd& owner, const std::string& problem) {
    owner.MessageBox(Utf8ToWide(problem).c_str(), LoadStringOrDefault(IDS_APP_TITLE).c_str(),
                     MB_OK | MB_ICONERROR);
}

} // namespace

bool AskAndPutStockInForce(CWnd& owner, StockGate& gate, StockList& list, const LedgerPath& folder) {
    wchar_t file[MAX_PATH] = L"";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner.GetSafeHwnd();
    dialog.lpstrFilter = L"清单文件 (*.txt;*.csv)\0*.txt;*.csv\0所有文件 (*.*)\0*.*\0";
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = L"载入本批清单";
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameW(&dialog))
        return false;
    const fs::path path(file);
    StockList read = ReadStockList(path);
    if (!read.error.empty()) {
        ShowProblem(owner, StockListProblem(path, read));
        return false;
    }
    list = std::move(read);
    PutStockInForce(gate, list, folder, LocalTimeNow());
    return true;
}

void OpenTodaysReport(CWnd& owner, const LedgerPath& folder, const StockList* list) {
    const LedgerTime now = LocalTimeNow();
    const std::string today = LedgerDayName(now);
    const ReportRead read = ReadLedgerReport({folder, today, today, list});
    if (!read.error.empty())
        return ShowProblem(owner, read.error);
    std::error_code error;
    const fs::path page = fs::temp_directory_path(error) / ("vantor-report-" + today + ".html");
    std::ofstream out(page, std::ios::binary | std::ios::trunc);
    if (error || !(out << RenderReportHtml(read.report, LedgerTimeText(now), ShownPath(folder))) ||
        !out.flush())
        return ShowProblem(owner, "无法写入报告：" + ShownPath(page));
    out.close();
    ::ShellExecuteW(nullptr, L"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
