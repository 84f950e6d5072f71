#include "cli/OutcomeWriter.h"

#include "base/ShownText.h"
#include "base/Utf8.h"
#include "cli/Console.h"
#include "ledger/LedgerLine.h"
#include "ledger/LedgerSources.h"

#include <cstdio>

namespace {

constexpr std::size_t kShownLineMaxChars = 2000; // a status text with its notes, or a field

// A C1 control (C2 80..9F) or a line or paragraph separator (E2 80 A8/A9) at `i`: valid JSON
// as they are, but a terminal may act on them, so they are written as \u escapes.
unsigned MultiByteControlAt(const std::string& utf8, std::size_t i) {
    char32_t code = 0;
    const std::size_t length = Utf8SequenceLength(utf8.data() + i, utf8.size() - i, code);
    return length > 1 && IsControlCharacter(code) ? static_cast<unsigned>(code) : 0;
}

// The values are UTF-8 made from wide text (WideToUtf8), so always valid.
void AppendJsonString(std::string& out, const std::string& utf8) {
    out += '"';
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (const unsigned control = MultiByteControlAt(utf8, i)) {
            char escaped[16];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", control);
            out += escaped;
            i += control < 0x100 ? 1 : 2;
            continue;
        }
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
            if (c < 0x20 || c == 0x7F) {
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
    // The module's own texts and serials reach these lines: nothing in them may act on a terminal.
    const std::wstring shown = attempt.outcome.entry.message + attempt.outcome.note;
    if (!shown.empty())
        WriteLine(ConsoleStream::kOutput, ShownText(shown, kShownLineMaxChars));
    for (const auto& detail : attempt.details) {
        // An English caption ends in an ASCII colon and is set off from its value by a space.
        const bool bSpaced = !detail.caption.empty() && detail.caption.back() == L':';
        WriteLine(ConsoleStream::kOutput,
                  detail.caption + (bSpaced ? L" " : L"") + ShownText(detail.value, kShownLineMaxChars));
    }
}
