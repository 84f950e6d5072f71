#pragma once
// The ledger's CSV text: UTF-8, RFC 4180 quoting, CRLF line ends.
#include "ledger/LedgerEntry.h"

#include <string>
#include <vector>

inline constexpr const char* kLedgerHeader =
    "time,station,user,operation,mode,slot,serial,cos_version,type_before,label,outcome,rv,message";
inline constexpr const char* kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// A text starting with '=', '+', '-' or '@' gets a "'" in front so a spreadsheet never
// evaluates it.
std::string GuardFormula(const std::string& utf8);
// One field as written: guarded, and quoted when it holds a comma, quote or line break.
std::string CsvField(const std::string& utf8);

// 2026-12-06T14:03:05+08:00
std::string LedgerTimeText(const LedgerTime& time);
// The day's file name by local date: 2026-12-06.csv
std::string LedgerDayFileName(const LedgerTime& time);

const char* LedgerOperationWord(LedgerOperation operation);
const char* LedgerModeWord(LedgerMode mode);
// pki, blank, lock or unknown(N); empty when the type was not read.
std::string TypeBeforeText(const std::optional<std::uint8_t>& type);

// The column names of the header line, in order.
std::vector<std::string> LedgerColumnNames();
// The line's field values in the header's order, as text before quoting (for front ends that
// print the line in another form).
std::vector<std::string> LedgerFields(const LedgerEntry& entry, const LedgerTime& time,
                                      const std::string& station, const std::string& user);
// The whole line, CRLF included. Station and user are UTF-8.
std::string LedgerLineText(const LedgerEntry& entry, const LedgerTime& time, const std::string& station,
                           const std::string& user);
