// vantor-cli report: the supervisor's page over the ledger folder.
#include "cli/CliOptions.h"
#include "cli/Console.h"
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
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& name = args[i];
        if (name != L"--from" && name != L"--to" && name != L"--out" && name != L"--stock")
            return L"report 不认识的参数：" + ShownOptionName(name);
        if (i + 1 == args.size() || args[i + 1].empty())
            return L"选项缺少参数：" + name;
        const std::wstring& value = args[++i];
        if (name == L"--out")
            options.out = ArgumentPath(value);
        else if (name == L"--stock")
            options.stock = value;
        else if (!IsLedgerDate(WideToUtf8(value)))
            return name + L" 需要日期 YYYY-MM-DD";
        else
            (name == L"--from" ? options.from : options.to) = WideToUtf8(value);
    }
    const std::string today = LedgerDayName(LocalTimeNow());
    if (options.from.empty())
        options.from = options.to.empty() ? today : options.to;
    if (options.to.empty())
        options.to = std::max(options.from, today);
    if (options.from > options.to)
        return L"--from 晚于 --to";
    if (options.out.empty())
        options.out = fs::path(ReportFileName(options.to));
    return {};
}

int Fail(const std::wstring& error) {
    WriteLine(ConsoleStream::kError, error);
    return kExitUsage;
}

} // namespace

int RunReport(const std::vector<std::wstring>& args) {
    ReportOptions options;
    const std::wstring usage = Parse(args, options);
    if (!usage.empty())
        return Fail(usage + L"（vantor-cli --help 显示用法）");
    StockList stock;
    if (!options.stock.empty()) {
        const std::wstring error = ReadStockOption(options.stock, stock);
        if (!error.empty())
            return Fail(error);
    }
    const WrittenReport written = WriteDayReport(
        {DefaultLedgerFolder(), options.from, options.to, options.stock.empty() ? nullptr : &stock},
        LocalTimeNow(), options.out);
    const std::wstring shownOut = Utf8ToWide(ShownPath(options.out));
    switch (written.outcome) {
    case ReportWrite::kNotRead:
        return Fail(Utf8ToWide(written.read.error));
    case ReportWrite::kNotRegularFile:
        return Fail(L"无法写入报告：" + shownOut + L"，不是普通文件（文件夹、设备或管道）");
    case ReportWrite::kNotWritten:
        return Fail(L"无法写入报告：" + shownOut);
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
