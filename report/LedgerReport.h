#pragma once
// What the ledger folder says about a span of days, read and counted for the supervisor's
// report: dialog-free, and apart from how it is shown.
#include "ledger/LedgerFile.h"
#include "ledger/LedgerVerify.h"
#include "stock/StockList.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct Tally {
    std::uint64_t success = 0, failure = 0;
    std::uint64_t Total() const { return success + failure; }
};

struct ReportedFile {
    std::string name; // YYYY-MM-DD.csv
    std::string day;  // YYYY-MM-DD
    LedgerVerdict verdict;
    std::vector<std::uint64_t> damagedLines; // the first lines that are not a ledger line, in order
    std::uint64_t damagedCount = 0;          // all of them
};

// A serial handled successfully more than once a day by one operation (not named after the
// Win32 function DuplicateToken, which windows.h declares).
struct RepeatedToken {
    std::string day, operation, serial;
    std::uint64_t successes = 0; // more than one
};

struct StockProgress {
    std::size_t expected = 0;
    std::vector<std::string> done, missing; // of the list
    std::vector<std::string> strangers;     // handled (wiped or initialised) but not on the list: the first
    std::uint64_t strangerCount = 0;        // all of them, told apart by key
};

// Distinct stations, users and failure texts kept by name, and the bytes of a name kept; the
// rest of a hostile file's variety is counted under "（其他）" (shown in the language of the page).
inline constexpr std::size_t kReportMaxNames = 1000;
inline constexpr std::size_t kReportMaxNameBytes = 200;
inline constexpr const char* kReportOtherName = "（其他）";

struct LedgerReport {
    std::string from, to;                                // YYYY-MM-DD
    Tally total;                                         // every token line
    std::map<std::string, Tally> operations;             // by operation word: wipe, pki, info
    std::array<Tally, 24> hours{};                       // by the hour of the line's local time
    std::map<std::string, std::uint64_t> failureReasons; // by the status text, in the language shown
    std::map<std::string, Tally> stations, users;
    std::vector<RepeatedToken> duplicates; // by day, operation and serial
    bool duplicatesCut = false;            // more than the report keeps: only the first are shown
    bool hasStock = false;
    StockProgress stock;
    std::vector<ReportedFile> files; // every day file in the span, by date
};

struct ReportRequest {
    LedgerPath folder;
    std::string from, to;             // YYYY-MM-DD, both included
    const StockList* stock = nullptr; // none: no progress
};

struct ReportRead {
    LedgerReport report;
    std::string error; // UTF-8; non-empty: nothing to report, and why
};

// Every day file of the span read in pieces, so that memory stays bounded whatever the files
// hold. A day file that is not a ledger file (empty, another program's, a folder, a device, a
// pipe) or cannot be read makes `error` name it; a broken one is counted and shown as broken.
ReportRead ReadLedgerReport(const ReportRequest& request);

// Day files whose chain is broken: their lines are counted, but not to be trusted.
std::size_t DamagedFileCount(const LedgerReport& report);
