#include "app/SupervisorMenu.h"

#include "base/Language.h"
#include "base/ShownPath.h"
#include "base/Utf8.h"
#include "ledger/LedgerDay.h"
#include "ledger/LedgerSources.h"
#include "letters/PinLetters.h"
#include "report/DayReport.h"
#include "seal/EnvelopeKey.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "win/FileDialogs.h"

#include <shellapi.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

void ShowProblem(CWnd& owner, const std::string& problem) {
    owner.MessageBox(Utf8ToWide(problem).c_str(), LoadStringOrDefault(IDS_APP_TITLE).c_str(),
                     MB_OK | MB_ICONERROR);
}

} // namespace

bool AskAndPutStockInForce(CWnd& owner, StockGate& gate, StockList& list, const LedgerPath& folder) {
    const std::wstring file =
        ChooseFile(owner.GetSafeHwnd(), Localized(L"载入本批清单", L"Load the stock list"),
                   Localized(L"清单文件 (*.txt;*.csv)\0*.txt;*.csv\0所有文件 (*.*)\0*.*\0",
                             L"Stock lists (*.txt;*.csv)\0*.txt;*.csv\0All files (*.*)\0*.*\0"));
    if (file.empty())
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
    std::error_code error;
    const fs::path page = fs::temp_directory_path(error) / ReportFileName(today);
    const WrittenReport written = WriteDayReport({folder, today, today, list}, now, page);
    if (written.outcome == ReportWrite::kNotRead)
        return ShowProblem(owner, written.read.error);
    if (error || written.outcome != ReportWrite::kWritten)
        return ShowProblem(owner, Localized("无法写入报告：", "Cannot write the report: ") + ShownPath(page));
    ::ShellExecuteW(nullptr, L"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void OpenTodaysPinLetters(CWnd& owner, const LedgerPath& folder) {
    const std::string today = LedgerDayName(LocalTimeNow());
    const EnvelopeKeyLoad key = UserStoreEnvelopeKey();
    if (!key.key)
        return ShowProblem(owner, key.problem);
    std::error_code error;
    const fs::path page = fs::temp_directory_path(error) / ("vantor-pin-letters-" + today + ".html");
    const WrittenLetters written = WritePinLetters({fs::path(folder), today, today}, *key.key, page);
    if (written.outcome == LettersWrite::kNoEnvelopes)
        return ShowProblem(owner, Localized("今天没有PIN信封", "There are no PIN envelopes today"));
    if (error || written.outcome != LettersWrite::kWritten)
        return ShowProblem(owner, Localized("无法写入PIN密码函：", "Cannot write the PIN letters: ") +
                                      ShownPath(page));
    if (!written.unopened.empty())
        ShowProblem(owner, std::to_string(written.unopened.size()) +
                               Localized(" 个PIN信封无法用当前用户的证书打开，已列在密码函的最后一页",
                                         " PIN envelope(s) could not be opened with the current user's "
                                         "certificate; they are listed on the last page of the letters"));
    ::ShellExecuteW(nullptr, L"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
