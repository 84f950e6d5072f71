#include "report/LedgerReport.h"

#include "base/Language.h"
#include "base/RegularFile.h"
#include "base/ShownPath.h"
#include "base/ShownText.h"
#include "ledger/LedgerDay.h"
#include "ledger/LedgerKeys.h"
#include "ledger/LedgerLine.h"
#include "ledger/LedgerRows.h"
#include "report/ReasonText.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <tuple>
#include <utility>

namespace fs = std::filesystem;

namespace {

struct DayFile {
    std::string name, day; // 2026-12-06.csv, 2026-12-06
    fs::path path;
};

// The day files in the folder from `from` to `to`, in order.
std::vector<DayFile> DayFiles(const LedgerPath& folder, const std::string& from, const std::string& to,
                              std::error_code& error) {
    std::vector<DayFile> files;
    for (fs::directory_iterator it(fs::path(folder), error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().u8string(); // never throws, whatever the name
        const std::optional<std::string> day = LedgerDayOfFileName(name);
        if (day && *day >= from && *day <= to)
            files.push_back({name, *day, it->path()});
    }
    std::sort(files.begin(), files.end(), [](const DayFile& a, const DayFile& b) { return a.name < b.name; });
    return files;
}

// A name from a line, as kept: cut at a character boundary when longer than any real one.
std::string KeptName(const std::string& field) {
    if (field.size() <= kReportMaxNameBytes)
        return field;
    std::size_t end = kReportMaxNameBytes;
    while (end > 0 && (static_cast<unsigned char>(field[end]) & 0xC0) == 0x80)
        --end;
    return field.substr(0, end) + "…";
}

// The entry for a name; past the limit of names, the one for all others.
template <class Value> Value& Named(std::map<std::string, Value>& map, const std::string& field) {
    const std::string name = KeptName(field);
    const auto found = map.find(name);
    if (found != map.end())
        return found->second;
    return map[map.size() < kReportMaxNames ? name : kReportOtherName];
}

// Successes told apart per day: far beyond a busy day, in 16 MB.
constexpr std::size_t kMaxDaySuccesses = 1 << 20;
// Tokens handled more than once, and strangers to the stock list, kept by serial.
constexpr std::size_t kMaxRepeated = 10000;
constexpr std::size_t kMaxStrangers = 10000;
// Damaged lines named per file.
constexpr std::size_t kMaxDamagedLines = 20;

class Counter {
  public:
    Counter(LedgerReport& report, const StockList* stock) : report_(report), stock_(stock) {
        if (stock_ != nullptr)
            for (const std::string& serial : stock_->serials)
                listed_.insert(StockKey(serial));
    }

    // One day file, read in pieces; its lines counted when it is a ledger file.
    void File(const DayFile& dayFile) {
        ReportedFile file{dayFile.name, dayFile.day, {}, {}, 0};
        LedgerRowReader reader;
        bool header = true, ours = false;
        LedgerKeys successes(kMaxDaySuccesses);
        std::map<std::uint64_t, RepeatedToken> repeated;
        const auto damaged = [&file](std::uint64_t line) {
            if (file.damagedCount++ < kMaxDamagedLines)
                file.damagedLines.push_back(line);
        };
        file.verdict = VerifyLedgerFile(
            dayFile.path.native(), {},
            [&](const LedgerRow& record) {
                if (std::exchange(header, false))
                    ours = IsLedgerHeader(record);
                else if (ours && !Line(record, file.day, successes, repeated))
                    damaged(record.line);
            },
            reader);
        if (ours && file.verdict.cutAtEnd)
            damaged(reader.PartialLine());
        if (!IsLedgerFile(file.verdict)) {
            report_.files.push_back(file);
            return;
        }
        std::vector<RepeatedToken> day;
        for (auto& kept : repeated)
            day.push_back(std::move(kept.second));
        std::sort(day.begin(), day.end(), [](const RepeatedToken& a, const RepeatedToken& b) {
            return std::tie(a.operation, a.serial) < std::tie(b.operation, b.serial);
        });
        report_.duplicates.insert(report_.duplicates.end(), day.begin(), day.end());
        report_.files.push_back(file);
    }

    void FinishStock() {
        if (stock_ == nullptr)
            return;
        report_.hasStock = true;
        report_.stock.expected = stock_->serials.size();
        for (const std::string& serial : stock_->serials)
            (done_.count(StockKey(serial)) ? report_.stock.done : report_.stock.missing).push_back(serial);
        report_.stock.strangers.assign(strangers_.begin(), strangers_.end());
    }

  private:
    bool Line(const LedgerRow& record, const std::string& day, LedgerKeys& successes,
              std::map<std::uint64_t, RepeatedToken>& repeated) {
        const std::optional<LedgerLineRead> line = ReadLedgerLine(record);
        if (!line)
            return false;
        const bool success = line->outcome == LedgerOutcome::Success;
        const std::string operation = LedgerOperationWord(line->operation);
        auto add = [success](Tally& tally) { ++(success ? tally.success : tally.failure); };
        add(report_.total);
        add(report_.operations[operation]);
        add(report_.hours[static_cast<std::size_t>(line->hour)]);
        add(Named(report_.stations, line->station));
        add(Named(report_.users, line->user));
        if (!success)
            ++Named(report_.failureReasons, line->message);
        const std::string& serial = line->serial;
        if (line->operation == LedgerOperation::Info || serial.empty())
            return true;
        if (success)
            Repeat(day, operation, serial, successes, repeated);
        if (stock_ != nullptr) {
            const std::string key = StockKey(serial);
            if (!listed_.count(key))
                Stranger(serial);
            else if (success)
                done_.insert(key);
        }
        return true;
    }

    // A success counted against the day's earlier ones.
    void Repeat(const std::string& day, const std::string& operation, const std::string& serial,
                LedgerKeys& successes, std::map<std::uint64_t, RepeatedToken>& repeated) {
        const std::uint64_t key = SuccessKey(operation, serial);
        if (successes.Add(key) != LedgerKeys::Added::kPresent)
            return;
        const auto found = repeated.find(key);
        if (found != repeated.end())
            ++found->second.successes;
        else if (report_.duplicates.size() + repeated.size() < kMaxRepeated)
            repeated.emplace(key, RepeatedToken{day, operation, KeptName(serial), 2});
        else
            report_.duplicatesCut = true;
    }

    void Stranger(const std::string& serial) {
        if (strangerKeys_.Add(SuccessKey("stranger", StockKey(serial))) != LedgerKeys::Added::kNew)
            return;
        ++report_.stock.strangerCount;
        if (strangers_.size() < kMaxStrangers)
            strangers_.insert(KeptName(serial));
    }

    LedgerReport& report_;
    const StockList* stock_;
    std::set<std::string> listed_, done_, strangers_;
    LedgerKeys strangerKeys_{kMaxDaySuccesses};
};

// The reason a day file cannot be reported, as the supervisor reads it.
std::string Refusal(const LedgerVerdict& verdict) {
    switch (verdict.seal) {
    case LedgerSeal::kEmpty:
        return Localized("不是记录文件（空文件）", "is not a ledger file (empty file)");
    case LedgerSeal::kMalformed:
        return Localized("不是记录文件（第一行不是记录文件的表头）",
                         "is not a ledger file (its first line is not the ledger's header)");
    default:
        break;
    }
    return verdict.read == FileRead::kUnreadable || verdict.read == FileRead::kRead
               ? std::string(Localized("无法读取", "cannot be read"))
               : Localized("无法读取：", "cannot be read: ") + FileReadProblem(verdict.read, 0);
}

} // namespace

ReportRead ReadLedgerReport(const ReportRequest& request) {
    ReportRead read;
    read.report.from = request.from;
    read.report.to = request.to;
    std::error_code error;
    const auto files = DayFiles(request.folder, request.from, request.to, error);
    if (error) {
        read.error =
            Localized("无法读取记录文件夹：", "Cannot read the ledger folder: ") + ShownPath(request.folder);
        return read;
    }
    if (files.empty()) {
        read.error = Localized("记录文件夹中没有 ", "The ledger folder holds no ledger file of ") +
                     request.from +
                     (request.from == request.to ? "" : Localized(" 至 ", " to ") + request.to) +
                     Localized(" 的记录文件：", ": ") + ShownPath(request.folder);
        return read;
    }
    Counter counter(read.report, request.stock);
    for (const DayFile& day : files)
        counter.File(day);
    counter.FinishStock();
    // One row per reason, whichever language each station wrote it in.
    std::map<std::string, std::uint64_t> reasons;
    for (const auto& [text, count] : read.report.failureReasons)
        reasons[text == kReportOtherName ? text : ReasonIn(text, ShownLanguage())] += count;
    read.report.failureReasons = std::move(reasons);
    for (const ReportedFile& file : read.report.files)
        if (!IsLedgerFile(file.verdict))
            read.error += (read.error.empty() ? "" : "\n") +
                          std::string(Localized("记录文件夹中的 ", "The ledger folder's ")) + file.name +
                          " " + Refusal(file.verdict) + Localized("，未生成报告", "; no report was made");
    return read;
}

std::size_t DamagedFileCount(const LedgerReport& report) {
    return static_cast<std::size_t>(
        std::count_if(report.files.begin(), report.files.end(),
                      [](const ReportedFile& file) { return file.verdict.seal == LedgerSeal::kBroken; }));
}
