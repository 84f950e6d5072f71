#include "cli/OutcomeWriter.h"

#include "base/Utf8.h"
#include "cli/Console.h"
#include "ledger/LedgerLine.h"
#include "ledger/LedgerSources.h"

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

std::string JsonLineText(const AttemptRecord& attempt, const std::string& station, const std::string& user) {
    static const std::vector<std::string> columns = LedgerColumnNames();
    const AttemptOutcome& outcome = attempt.outcome;
    const std::vector<std::string> values = LedgerFields(outcome.entry, outcome.time, station, user);
    std::string line = "{";
    for (std::size_t i = 0; i < columns.size(); ++i)
        AppendField(line, columns[i], !outcome.IsCounted() && columns[i] == "outcome" ? "none" : values[i]);
    AppendField(line, "note", WideToUtf8(outcome.note));
    for (const auto& detail : attempt.details)
        if (detail.key != nullptr)
            AppendField(line, detail.key, WideToUtf8(detail.value));
    return line + "}";
}

OutcomeWriter::OutcomeWriter(bool bJson, bool bLedger)
    : m_bJson(bJson), m_ledger(bLedger ? std::make_unique<Ledger>() : nullptr), m_station(ThisStation()),
      m_user(ThisUser()) {}

void OutcomeWriter::Write(const AttemptRecord& attempt) {
    m_bLedgerFailed = m_bLedgerFailed || attempt.outcome.bLedgerFailed;
    if (m_bJson) {
        WriteUtf8Line(ConsoleStream::kOutput, JsonLineText(attempt, m_station, m_user));
        return;
    }
    const std::wstring shown = attempt.outcome.entry.message + attempt.outcome.note;
    if (!shown.empty())
        WriteLine(ConsoleStream::kOutput, shown);
    for (const auto& detail : attempt.details)
        WriteLine(ConsoleStream::kOutput, detail.caption + detail.value);
}
