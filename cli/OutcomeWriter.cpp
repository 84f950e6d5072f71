#include "cli/OutcomeWriter.h"

#include "cli/Console.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "Utf8.h"

#include <cstdio>

namespace {

const char* OutcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::kSuccess:
        return "success";
    case Outcome::kFailure:
        return "failure";
    default:
        return "none";
    }
}

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

void AppendField(std::string& out, const char* key, const std::string& value) {
    out += out.size() > 1 ? "," : "";
    AppendJsonString(out, key);
    out += ':';
    AppendJsonString(out, value);
}

} // namespace

int ExitCodeOf(const AttemptOutcome& attempt) {
    switch (attempt.outcome) {
    case Outcome::kSuccess:
        return 0;
    case Outcome::kFailure:
        return 1;
    default:
        return attempt.message == LoadStringOrDefault(IDS_INIT_MODULE_FAILED) ? 4 : 3;
    }
}

std::string FormatJsonLine(const StationStamp& stamp, const AttemptOutcome& attempt) {
    std::string rv;
    if (attempt.rv) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(*attempt.rv & 0xFFFFFFFFul));
        rv = code;
    }
    std::string line = "{";
    AppendField(line, "time", WideToUtf8(stamp.time));
    AppendField(line, "station", WideToUtf8(stamp.station));
    AppendField(line, "user", WideToUtf8(stamp.user));
    AppendField(line, "operation", WideToUtf8(attempt.operation));
    AppendField(line, "mode", WideToUtf8(attempt.mode));
    AppendField(line, "slot", WideToUtf8(attempt.slot));
    AppendField(line, "serial", WideToUtf8(attempt.serial));
    AppendField(line, "cos_version", WideToUtf8(attempt.cosVersion));
    AppendField(line, "type_before", WideToUtf8(attempt.typeBefore));
    AppendField(line, "label", WideToUtf8(attempt.label));
    AppendField(line, "outcome", OutcomeName(attempt.outcome));
    AppendField(line, "rv", rv);
    AppendField(line, "message", WideToUtf8(attempt.message));
    for (const auto& detail : attempt.details)
        if (detail.key != nullptr)
            AppendField(line, detail.key, WideToUtf8(detail.value));
    return line + "}";
}

void OutcomeWriter::Write(const AttemptOutcome& attempt) {
    // The ledger line goes here, before the outcome is shown (m_bLedger false: --no-ledger).
    (void)m_bLedger;
    if (m_bJson) {
        WriteUtf8Line(ConsoleStream::kOutput, FormatJsonLine(StampNow(), attempt));
        return;
    }
    if (!attempt.message.empty())
        WriteLine(ConsoleStream::kOutput, attempt.message);
    for (const auto& detail : attempt.details)
        WriteLine(ConsoleStream::kOutput, detail.caption + detail.value);
}
