#pragma once
// The ledger's CSV text: UTF-8, RFC 4180 quoting, CRLF line ends; written here, and read
// back here (the report and the day's scan) by the same columns and words.
#include "ledger/LedgerEntry.h"
#include "ledger/LedgerRows.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

inline constexpr const char* kLedgerHeader =
    "time,station,user,operation,mode,slot,serial,cos_version,type_before,label,outcome,rv,message";
inline constexpr const char* kUtf8ByteOrderMark = "\xEF\xBB\xBF";
// Column positions of a line, in the header's order; a sealed file's lines carry the chain
// value after them.
enum LedgerColumn : std::size_t {
    kLedgerTime,
    kLedgerStation,
    kLedgerUser,
    kLedgerOperation,
    kLedgerMode,
    kLedgerSlot,
    kLedgerSerial,
    kLedgerCosVersion,
    kLedgerTypeBefore,
    kLedgerLabel,
    kLedgerOutcome,
    kLedgerRv,
    kLedgerMessage,
    kLedgerColumns,
};

// A text starting with '=', '+', '-' or '@' gets a "'" in front so a spreadsheet never
// evaluates it.
std::string GuardFormula(const std::string& utf8);
// The field as it was before GuardFormula.
std::string UnguardFormula(const std::string& field);
// One field as written: guarded, and quoted when it holds a comma, quote or line break.
std::string CsvField(const std::string& utf8);

// 2026-12-06T14:03:05+08:00
std::string LedgerTimeText(const LedgerTime& time);

const char* LedgerOperationWord(LedgerOperation operation);
const char* LedgerOutcomeWord(LedgerOutcome outcome);
// The words read back; nothing for a word the ledger never writes.
std::optional<LedgerOperation> LedgerOperationOfWord(const std::string& word);
std::optional<LedgerOutcome> LedgerOutcomeOfWord(const std::string& word);
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

// A ledger line read back, as far as the supervisor's report needs it.
struct LedgerLineRead {
    LedgerOperation operation = LedgerOperation::Info;
    LedgerOutcome outcome = LedgerOutcome::Failure;
    int hour = 0; // of the line's local time
    std::string station, user;
    std::string serial; // as the token gave it, the formula guard taken off
    std::string message;
};
// Nothing when the record is not a line the ledger writes: overlong, another number of
// columns, an unknown operation or outcome, a time without its hour.
std::optional<LedgerLineRead> ReadLedgerLine(const LedgerRow& record);
