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
        return RefuseUsage(usage + L"（vantor-cli --help 显示用法）");
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
        return RefuseUsage(L"无法写入报告：" + shownOut + L"，不是普通文件（文件夹、设备或管道）");
    case ReportWrite::kNotWritten:
        return RefuseUsage(L"无法写入报告：" + shownOut);
    case ReportWrite::kWritten:
        break;
    }
    const LedgerReport& report = written.read.report;
    const std::size_t damaged = DamagedFileCount(report);
    WriteLine(ConsoleStream::kOutput,
              L"报告已写入：" + shownOut + L"（" + std::to_wstring(report.files.size()) + L" 个记录文件，" +
                  (damaged == 0 ? L"" : L"其中 " + std::to_wstring(damaged) + L" 个已损坏，") +
                  std::to_wstring(report.total.Total()) + L" 行：成功 " +
                  std::to_wstring(report.total.success) + L"，失败 " + std::to_wstring(report.total.failure) +
                  L"）");
    for (const ReportedFile& file : report.files)
        if (file.verdict.seal == LedgerSeal::kBroken)
            WriteLine(ConsoleStream::kError, L"注意：" + Utf8ToWide(file.name) + L" 未通过核对：已损坏，第 " +
                                                 std::to_wstring(file.verdict.brokenLine) +
                                                 L" 行起不成立，其中的行不可信（见报告）");
    return kExitSuccess;
}
