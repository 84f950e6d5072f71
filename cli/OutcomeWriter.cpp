#include "cli/OutcomeWriter.h"

#include "cli/Console.h"
#include "cli/ExitCode.h"
#include "ledger/LedgerLine.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "token/Pkcs11.h"
#include "ledger/LedgerSources.h"
#include "base/Utf8.h"

#include <cstdio>

namespace {

void AppendJsonString(std::string& out, const std::string& utf8) {
    out += '"';
    for (unsigned char c : utf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04X", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    out += '"';
}

void AppendField(std::string& out, const std::string& key, const std::string& value) {
    out += out.size() > 1 ? "," : "";
    AppendJsonString(out, key);
    out += ':';
    AppendJsonString(out, value);
}

} // namespace

int ExitCodeOf(const AttemptRecord& attempt) {
    if (attempt.bLedgerFailed)
        return kExitLedger;
    if (attempt.bCounted)
        return attempt.entry.outcome == LedgerOutcome::Success ? kExitSuccess : kExitTokenFailed;
    if (attempt.entry.message == LoadStringOrDefault(IDS_INIT_MODULE_FAILED))
        return kExitModule;
    // The operator declined the SO PIN's final try: the token's state refused the wipe.
    return attempt.entry.rv == CKR_FUNCTION_CANCELED ? kExitTokenFailed : kExitNoSingleToken;
}

std::string FormatJsonLine(const AttemptRecord& attempt, const std::string& station,
                           const std::string& user) {
    static const std::vector<std::string> columns = LedgerColumnNames();
    const std::vector<std::string> values = LedgerFields(attempt.entry, attempt.time, station, user);
    std::string line = "{";
    for (std::size_t i = 0; i < columns.size(); ++i)
        AppendField(line, columns[i], !attempt.bCounted && columns[i] == "outcome" ? "none" : values[i]);
    AppendField(line, "note", WideToUtf8(attempt.note));
    for (const auto& detail : attempt.details)
        if (detail.key != nullptr)
            AppendField(line, detail.key, WideToUtf8(detail.value));
    return line + "}";
}

OutcomeWriter::OutcomeWriter(bool bJson, bool bLedger)
    : m_bJson(bJson), m_ledger(bLedger ? std::make_unique<Ledger>() : nullptr), m_station(ThisStation()),
      m_user(ThisUser()) {}

void OutcomeWriter::Write(const AttemptRecord& attempt) {
    m_bLedgerFailed = m_bLedgerFailed || attempt.bLedgerFailed;
    if (m_bJson) {
        WriteUtf8Line(ConsoleStream::kOutput, FormatJsonLine(attempt, m_station, m_user));
        return;
    }
    const std::wstring shown = attempt.entry.message + attempt.note;
    if (!shown.empty())
        WriteLine(ConsoleStream::kOutput, shown);
    for (const auto& detail : attempt.details)
        WriteLine(ConsoleStream::kOutput, detail.caption + detail.value);
}
