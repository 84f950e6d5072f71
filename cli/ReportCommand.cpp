// vantor-cli report: the supervisor's page over the ledger folder.
#include "cli/CliOptions.h"
#include "cli/Console.h"
#include "cli/DaySpanOptions.h"
#include "base/ArgumentPath.h"
#include "attempt/ExitCode.h"
#include "cli/StockOption.h"
#include "cli/SupervisorCommands.h"
#include "ledger/LedgerDay.h"
#include "ledger/LedgerFolder.h"
#include "ledger/LedgerSources.h"
#include "report/DayReport.h"
#include "base/ShownPath.h"
#include "base/ShownText.h"
#include "base/Utf8.h"
#include "base/Language.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct ReportOptions {
    std::string from, to;
    fs::path out;
    std::wstring stock;
};

// Empty when the options hold; otherwise what is wrong.
std::wstring Parse(const std::vector<std::wstring>& args, ReportOptions& options) {
    DaySpanOptions span;
    const std::wstring error = ParseDaySpanOptions(L"report", {L"--out", L"--stock"}, args, span);
    if (!error.empty())
        return error;
    options.from = span.from;
    options.to = span.to;
    options.stock = span.other[L"--stock"];
    options.out = span.other.count(L"--out") ? ArgumentPath(span.other[L"--out"])
                                             : fs::path(ReportFileName(options.to));
    return {};
}

} // namespace

int RunReport(const std::vector<std::wstring>& args) {
    ReportOptions options;
    const std::wstring usage = Parse(args, options);
    if (!usage.empty())
        return RefuseUsage(usage + UsageHint());
    StockList stock;
    if (!options.stock.empty()) {
        const std::wstring error = ReadStockOption(options.stock, stock);
        if (!error.empty())
            return RefuseUsage(error);
    }
    const WrittenReport written = WriteDayReport(
        {DefaultLedgerFolder(), options.from, options.to, options.stock.empty() ? nullptr : &stock},
        LocalTimeNow(), options.out);
    const std::wstring shownOut = Utf8ToWide(ShownPath(options.out));
    switch (written.outcome) {
    case ReportWrite::kNotRead:
        return RefuseUsage(Utf8ToWide(written.read.error));
    case ReportWrite::kNotRegularFile:
        return RefuseUsage(Localized(L"无法写入报告：", L"Cannot write the report: ") + shownOut +
                           Localized(L"，不是普通文件（文件夹、设备或管道）",
                                     L" is not a regular file (it is a folder, a device or a pipe)"));
    case ReportWrite::kNotWritten:
        return RefuseUsage(Localized(L"无法写入报告：", L"Cannot write the report: ") + shownOut);
    case ReportWrite::kWritten:
        break;
    }
    const LedgerReport& report = written.read.report;
    const std::size_t damaged = DamagedFileCount(report);
    WriteLine(ConsoleStream::kOutput,
              Localized(L"报告已写入：", L"Report written: ") + shownOut + Localized(L"（", L" (") +
                  std::to_wstring(report.files.size()) +
                  (report.files.size() == 1 ? Localized(L" 个记录文件，", L" ledger file, ")
                                            : Localized(L" 个记录文件，", L" ledger files, ")) +
                  (damaged == 0 ? std::wstring()
                                : Localized(L"其中 ", L"") + std::to_wstring(damaged) +
                                      Localized(L" 个已损坏，", L" of them broken, ")) +
                  std::to_wstring(report.total.Total()) + Localized(L" 行：成功 ", L" lines: succeeded ") +
                  std::to_wstring(report.total.success) + Localized(L"，失败 ", L", failed ") +
                  std::to_wstring(report.total.failure) + Localized(L"）", L")"));
    for (const ReportedFile& file : report.files)
        if (file.verdict.seal == LedgerSeal::kBroken)
            WriteLine(ConsoleStream::kError,
                      Localized(L"注意：", L"Note: ") + Utf8ToWide(file.name) +
                          Localized(L" 未通过核对：已损坏，第 ", L" failed the check: broken from line ") +
                          std::to_wstring(file.verdict.brokenLine) +
                          Localized(L" 行起不成立，其中的行不可信（见报告）",
                                    L" on; its lines cannot be trusted (see the report)"));
    return kExitSuccess;
}
