#include "report/LedgerReport.h"

#include "ledger/LedgerKeys.h"
#include "ledger/LedgerLine.h"
#include "ledger/LedgerRows.h"
#include "base/RegularFile.h"
#include "base/ShownPath.h"
#include "base/ShownText.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <tuple>
#include <utility>

namespace fs = std::filesystem;

namespace {

// Column positions of the ledger's line.
enum Column : std::size_t {
    kTime = 0,
    kStation = 1,
    kUser = 2,
    kOperation = 3,
    kSerial = 6,
    kOutcome = 10,
    kMessage = 12,
    kColumns = 13,
};

bool IsDigits(const std::string& text, std::size_t at, std::size_t count) {
    if (text.size() < at + count)
        return false;
    for (std::size_t i = at; i < at + count; ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

int Number(const std::string& text, std::size_t at, std::size_t count) {
    return std::stoi(text.substr(at, count));
}

// The serial as the token gave it, without the guard a spreadsheet needs.
std::string Unguarded(const std::string& field) {
    if (field.size() > 1 && field[0] == '\'' && std::string("=+-@").find(field[1]) != std::string::npos)
        return field.substr(1);
    return field;
}

// The day file names in the folder from `from` to `to`, in order.
std::vector<std::pair<std::string, fs::path>> DayFiles(const LedgerPath& folder, const std::string& from,
                                                       const std::string& to, std::error_code& error) {
    std::vector<std::pair<std::string, fs::path>> files;
    for (fs::directory_iterator it(fs::path(folder), error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().u8string(); // never throws, whatever the name
        if (name.size() == 14 && name.compare(10, 4, ".csv") == 0 && IsReportDate(name.substr(0, 10)) &&
            name.substr(0, 10) >= from && name.substr(0, 10) <= to)
            files.emplace_back(name, it->path());
    }
    std::sort(files.begin(), files.end());
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
    void File(const std::string& name, const fs::path& path) {
        ReportedFile file{name, {}, {}, 0};
        LedgerRowReader reader;
        bool header = true, ours = false;
        LedgerKeys successes(kMaxDaySuccesses);
        std::map<std::uint64_t, RepeatedToken> repeated;
        const auto damaged = [&file](std::uint64_t line) {
            if (file.damagedCount++ < kMaxDamagedLines)
                file.damagedLines.push_back(line);
        };
        file.verdict = VerifyLedgerFile(
            path.native(), {},
            [&](const LedgerRow& record) {
                if (std::exchange(header, false))
                    ours = IsLedgerHeader(record);
                else if (ours && !Line(record, name, successes, repeated))
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
    bool Line(const LedgerRow& record, const std::string& fileName, LedgerKeys& successes,
              std::map<std::uint64_t, RepeatedToken>& repeated) {
        const std::vector<std::string>& fields = record.fields;
        if (record.overlong || (fields.size() != kColumns && fields.size() != kColumns + 1))
            return false;
        const std::string& time = fields[kTime];
        const std::string& operation = fields[kOperation];
        const std::string& outcome = fields[kOutcome];
        const bool success = outcome == "success";
        if (!IsDigits(time, 11, 2) || Number(time, 11, 2) > 23 || (!success && outcome != "failure") ||
            (operation != "wipe" && operation != "pki" && operation != "info"))
            return false;
        auto add = [success](Tally& tally) { ++(success ? tally.success : tally.failure); };
        add(report_.total);
        add(report_.operations[operation]);
        add(report_.hours[static_cast<std::size_t>(Number(time, 11, 2))]);
        add(Named(report_.stations, fields[kStation]));
        add(Named(report_.users, fields[kUser]));
        if (!success)
            ++Named(report_.failureReasons, fields[kMessage]);
        const std::string serial = Unguarded(fields[kSerial]);
        if (operation == "info" || serial.empty())
            return true;
        if (success)
            Repeat(fileName, operation, serial, successes, repeated);
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
    void Repeat(const std::string& fileName, const std::string& operation, const std::string& serial,
                LedgerKeys& successes, std::map<std::uint64_t, RepeatedToken>& repeated) {
        const std::uint64_t key = SuccessKey(operation, serial);
        if (successes.Add(key) != LedgerKeys::Added::kPresent)
            return;
        const auto found = repeated.find(key);
        if (found != repeated.end())
            ++found->second.successes;
        else if (report_.duplicates.size() + repeated.size() < kMaxRepeated)
            repeated.emplace(key, RepeatedToken{fileName.substr(0, 10), operation, KeptName(serial), 2});
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
        return "不是记录文件（空文件）";
    case LedgerSeal::kMalformed:
        return "不是记录文件（第一行不是记录文件的表头）";
    default:
        break;
    }
    return verdict.read == FileRead::kUnreadable || verdict.read == FileRead::kRead
               ? "无法读取"
               : "无法读取：" + FileReadProblem(verdict.read, 0);
}

} // namespace

bool IsReportDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !IsDigits(text, 0, 4) ||
        !IsDigits(text, 5, 2) || !IsDigits(text, 8, 2))
        return false;
    const int year = Number(text, 0, 4), month = Number(text, 5, 2), day = Number(text, 8, 2);
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month >= 1 && month <= 12 && day >= 1 && day <= (month == 2 && !leap ? 28 : kDays[month - 1]);
}

ReportRead ReadLedgerReport(const ReportRequest& request) {
    ReportRead read;
    read.report.from = request.from;
    read.report.to = request.to;
    std::error_code error;
    const auto files = DayFiles(request.folder, request.from, request.to, error);
    if (error) {
        read.error = "无法读取记录文件夹：" + ShownPath(request.folder);
        return read;
    }
    if (files.empty()) {
        read.error = "记录文件夹中没有 " + request.from +
                     (request.from == request.to ? "" : " 至 " + request.to) + " 的记录文件：" +
                     ShownPath(request.folder);
        return read;
    }
    Counter counter(read.report, request.stock);
    for (const auto& [name, path] : files)
        counter.File(name, path);
    counter.FinishStock();
    for (const ReportedFile& file : read.report.files)
        if (!IsLedgerFile(file.verdict))
            read.error += (read.error.empty() ? "" : "\n") + std::string("记录文件夹中的 ") + file.name +
                          " " + Refusal(file.verdict) + "，未生成报告";
    return read;
}

std::size_t DamagedFileCount(const LedgerReport& report) {
    return static_cast<std::size_t>(
        std::count_if(report.files.begin(), report.files.end(),
                      [](const ReportedFile& file) { return file.verdict.seal == LedgerSeal::kBroken; }));
}
