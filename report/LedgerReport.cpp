#include "report/LedgerReport.h"

#include "ledger/LedgerLine.h"
#include "ledger/LedgerRows.h"

#include <algorithm>
#include <filesystem>
#include <set>
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

class Counter {
  public:
    Counter(LedgerReport& report, const StockList* stock) : report_(report), stock_(stock) {
        if (stock_ != nullptr)
            for (const std::string& serial : stock_->serials)
                listed_.insert(StockKey(serial));
    }

    // One day file, read whole; a file of another program is only named.
    void File(const std::string& name, const fs::path& path) {
        ReportedFile file{name, {}, {}};
        std::string bytes;
        std::uint64_t size = 0;
        if (!ReadLedgerFile(path.native(), 0, bytes, size)) {
            report_.files.push_back(file);
            return;
        }
        LedgerRowReader reader;
        LedgerVerifier verifier;
        bool header = true, ours = false;
        std::map<std::pair<std::string, std::string>, std::uint64_t> successes; // operation, serial
        reader.Feed(bytes, [&](const LedgerRow& record) {
            verifier.Take(record);
            if (std::exchange(header, false))
                ours = IsLedgerHeader(record.fields);
            else if (ours && !Line(record.fields, successes))
                file.damagedLines.push_back(record.line);
        });
        file.verdict = verifier.Finish(reader);
        if (ours && file.verdict.cutAtEnd)
            file.damagedLines.push_back(reader.PartialLine());
        for (const auto& [key, count] : successes)
            if (count > 1)
                report_.duplicates.push_back({name.substr(0, 10), key.first, key.second, count});
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
    bool Line(const std::vector<std::string>& fields,
              std::map<std::pair<std::string, std::string>, std::uint64_t>& successes) {
        if (fields.size() != kColumns && fields.size() != kColumns + 1)
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
        add(report_.stations[fields[kStation]]);
        add(report_.users[fields[kUser]]);
        if (!success)
            ++report_.failureReasons[fields[kMessage]];
        const std::string serial = Unguarded(fields[kSerial]);
        if (operation == "info" || serial.empty())
            return true;
        if (success)
            ++successes[{operation, serial}];
        if (stock_ != nullptr) {
            const std::string key = StockKey(serial);
            if (!listed_.count(key))
                strangers_.insert(serial);
            else if (success)
                done_.insert(key);
        }
        return true;
    }

    LedgerReport& report_;
    const StockList* stock_;
    std::set<std::string> listed_, done_, strangers_;
};

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
        read.error = "无法读取记录文件夹：" + fs::path(request.folder).u8string();
        return read;
    }
    if (files.empty()) {
        read.error = "记录文件夹中没有 " + request.from +
                     (request.from == request.to ? "" : " 至 " + request.to) + " 的记录文件：" +
                     fs::path(request.folder).u8string();
        return read;
    }
    Counter counter(read.report, request.stock);
    for (const auto& [name, path] : files)
        counter.File(name, path);
    counter.FinishStock();
    return read;
}
