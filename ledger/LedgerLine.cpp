#include "ledger/LedgerLine.h"

#include "base/Utf8.h"
#include "token/DeviceType.h"

#include <cstdio>
#include <cstdlib>

namespace {

// The operation and outcome words, written and read by these tables only.
struct OperationWord {
    LedgerOperation operation;
    const char* word;
};
constexpr OperationWord kOperationWords[] = {
    {LedgerOperation::Wipe, "wipe"},
    {LedgerOperation::Pki, "pki"},
    {LedgerOperation::Info, "info"},
};
constexpr const char* kSuccessWord = "success";
constexpr const char* kFailureWord = "failure";

// The hour of 2026-12-06T14:03:05+08:00; nothing when it is not there.
std::optional<int> HourOf(const std::string& time) {
    if (time.size() < 13 || time[11] < '0' || time[11] > '9' || time[12] < '0' || time[12] > '9')
        return std::nullopt;
    const int hour = (time[11] - '0') * 10 + (time[12] - '0');
    return hour <= 23 ? std::optional<int>(hour) : std::nullopt;
}

} // namespace

std::string GuardFormula(const std::string& utf8) {
    if (!utf8.empty() && (utf8[0] == '=' || utf8[0] == '+' || utf8[0] == '-' || utf8[0] == '@'))
        return "'" + utf8;
    return utf8;
}

std::string UnguardFormula(const std::string& field) {
    if (field.size() > 1 && field[0] == '\'' && GuardFormula(field.substr(1)) == field)
        return field.substr(1);
    return field;
}

std::string CsvField(const std::string& utf8) {
    const std::string field = GuardFormula(utf8);
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (char c : field) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string LedgerTimeText(const LedgerTime& time) {
    const int offset = std::abs(time.utcOffsetMinutes);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second, time.utcOffsetMinutes < 0 ? '-' : '+',
                  offset / 60, offset % 60);
    return text;
}

const char* LedgerOperationWord(LedgerOperation operation) {
    for (const OperationWord& known : kOperationWords)
        if (known.operation == operation)
            return known.word;
    return "info";
}

const char* LedgerOutcomeWord(LedgerOutcome outcome) {
    return outcome == LedgerOutcome::Success ? kSuccessWord : kFailureWord;
}

std::optional<LedgerOperation> LedgerOperationOfWord(const std::string& word) {
    for (const OperationWord& known : kOperationWords)
        if (word == known.word)
            return known.operation;
    return std::nullopt;
}

std::optional<LedgerOutcome> LedgerOutcomeOfWord(const std::string& word) {
    if (word == kSuccessWord)
        return LedgerOutcome::Success;
    if (word == kFailureWord)
        return LedgerOutcome::Failure;
    return std::nullopt;
}

const char* LedgerModeWord(LedgerMode mode) {
    switch (mode) {
    case LedgerMode::Batch:
        return "batch";
    case LedgerMode::Station:
        return "station";
    case LedgerMode::Single:
        break;
    }
    return "single";
}

std::string TypeBeforeText(const std::optional<std::uint8_t>& type) {
    if (!type)
        return {};
    const char* word = DeviceTypeWord(*type);
    return word != nullptr ? word : "unknown(" + std::to_string(unsigned{*type}) + ")";
}

std::vector<std::string> LedgerColumnNames() {
    std::vector<std::string> names(1);
    for (const char* c = kLedgerHeader; *c != '\0'; ++c) {
        if (*c == ',')
            names.emplace_back();
        else
            names.back() += *c;
    }
    return names;
}

std::vector<std::string> LedgerFields(const LedgerEntry& entry, const LedgerTime& time,
                                      const std::string& station, const std::string& user) {
    char rv[16];
    std::snprintf(rv, sizeof rv, "0x%08lX", entry.rv & 0xFFFFFFFFul);
    return {
        LedgerTimeText(time),
        station,
        user,
        LedgerOperationWord(entry.operation),
        LedgerModeWord(entry.mode),
        entry.slot ? std::to_string(*entry.slot) : std::string(),
        WideToUtf8(entry.serial),
        WideToUtf8(entry.cosVersion),
        TypeBeforeText(entry.typeBefore),
        WideToUtf8(entry.label),
        LedgerOutcomeWord(entry.outcome),
        rv,
        WideToUtf8(entry.message),
    };
}

std::string LedgerLineText(const LedgerEntry& entry, const LedgerTime& time, const std::string& station,
                           const std::string& user) {
    const std::vector<std::string> fields = LedgerFields(entry, time, station, user);
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i)
        line += (i == 0 ? "" : ",") + CsvField(fields[i]);
    return line + "\r\n";
}

std::optional<LedgerLineRead> ReadLedgerLine(const LedgerRow& record) {
    const std::vector<std::string>& fields = record.fields;
    if (record.overlong || (fields.size() != kLedgerColumns && fields.size() != kLedgerColumns + 1))
        return std::nullopt;
    const std::optional<int> hour = HourOf(fields[kLedgerTime]);
    const std::optional<LedgerOutcome> outcome = LedgerOutcomeOfWord(fields[kLedgerOutcome]);
    const std::optional<LedgerOperation> operation = LedgerOperationOfWord(fields[kLedgerOperation]);
    if (!hour || !outcome || !operation)
        return std::nullopt;
    return LedgerLineRead{*operation,
                          *outcome,
                          *hour,
                          fields[kLedgerStation],
                          fields[kLedgerUser],
                          UnguardFormula(fields[kLedgerSerial]),
                          fields[kLedgerMessage]};
}
