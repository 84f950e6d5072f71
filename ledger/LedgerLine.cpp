#include "ledger/LedgerLine.h"

#include "base/Utf8.h"
#include "token/AuxFunctionList.h"

#include <cstdio>
#include <cstdlib>

std::string GuardFormula(const std::string& utf8) {
    if (!utf8.empty() && (utf8[0] == '=' || utf8[0] == '+' || utf8[0] == '-' || utf8[0] == '@'))
        return "'" + utf8;
    return utf8;
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

std::string LedgerDayFileName(const LedgerTime& time) {
    char text[24];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d.csv", time.year, time.month, time.day);
    return text;
}

const char* LedgerOperationWord(LedgerOperation operation) {
    switch (operation) {
    case LedgerOperation::Wipe:
        return "wipe";
    case LedgerOperation::Pki:
        return "pki";
    case LedgerOperation::Info:
        break;
    }
    return "info";
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
    switch (*type) {
    case DEVICE_TYPE_PKI:
        return "pki";
    case DEVICE_TYPE_BLANK:
        return "blank";
    case DEVICE_TYPE_ENCRYPTION_LOCK:
        return "lock";
    default:
        return "unknown(" + std::to_string(unsigned{*type}) + ")";
    }
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
        entry.outcome == LedgerOutcome::Success ? "success" : "failure",
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
