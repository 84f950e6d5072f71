#include "attempt/AttemptResultLine.h"

#include "base/HexText.h"
#include "base/Utf8.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

constexpr char kPrefix[] = "result";

std::string Hex(const void* data, std::size_t size) {
    return HexText(data, size);
}

std::string Number(unsigned long long value) {
    char text[24];
    std::snprintf(text, sizeof text, "%llX", value);
    return text;
}

// Bytes other than letters, digits and "-._" as %XX; the empty text as a lone "%".
std::string Escaped(const std::wstring& text) {
    const std::string utf8 = WideToUtf8(text);
    if (utf8.empty())
        return "%";
    std::string escaped;
    for (unsigned char c : utf8) {
        if (std::isalnum(c) != 0 || std::strchr("-._", c) != nullptr) {
            escaped += static_cast<char>(c);
        } else {
            escaped += '%';
            AppendHex(escaped, &c, 1);
        }
    }
    return escaped;
}

// Upper-case digits only, as written.
int HexValue(char c) {
    return HexDigitValue(c, HexCase::kUpper);
}

bool ParseNumber(const std::string& text, unsigned long long max, unsigned long long& value) {
    if (text.empty() || text.size() > 16)
        return false;
    value = 0;
    for (char c : text) {
        const int digit = HexValue(c);
        if (digit < 0)
            return false;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return value <= max;
}

bool ParseBytes(const std::string& text, void* data, std::size_t size) {
    if (text.size() != size * 2)
        return false;
    unsigned char* bytes = static_cast<unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        const int high = HexValue(text[2 * i]), low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes[i] = static_cast<unsigned char>(high * 16 + low);
    }
    return true;
}

bool ParseEscaped(const std::string& text, std::wstring& value) {
    if (text == "%") {
        value.clear();
        return true;
    }
    std::string utf8;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            utf8 += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return false;
        utf8 += static_cast<char>(high * 16 + low);
        i += 2;
    }
    value = Utf8ToWide(utf8);
    return !utf8.empty();
}

// The fields in their order; decoding asks for each exactly once.
class Fields {
  public:
    bool Split(const std::string& line) {
        std::size_t at = std::strlen(kPrefix);
        if (line.compare(0, at, kPrefix) != 0)
            return false;
        while (at < line.size()) {
            if (line[at++] != ' ')
                return false;
            const std::size_t end = std::min(line.find(' ', at), line.size());
            const std::size_t equals = line.find('=', at);
            if (equals == std::string::npos || equals >= end)
                return false;
            if (!m_values.emplace(line.substr(at, equals - at), line.substr(equals + 1, end - equals - 1))
                     .second)
                return false;
            at = end;
        }
        return true;
    }
    bool Number(const char* key, unsigned long long max, unsigned long long& value) {
        const std::string* text = Take(key);
        return text != nullptr && ParseNumber(*text, max, value);
    }
    template <class T> bool Value(const char* key, T& value, unsigned long long max) {
        unsigned long long number = 0;
        if (!Number(key, max, number))
            return false;
        value = static_cast<T>(number);
        return true;
    }
    bool Flag(const char* key, bool& value) { return Value(key, value, 1); }
    bool Bytes(const char* key, void* data, std::size_t size) {
        const std::string* text = Take(key);
        return text != nullptr && ParseBytes(*text, data, size);
    }
    bool Text(const char* key, std::wstring& value) {
        const std::string* text = Take(key);
        return text != nullptr && ParseEscaped(*text, value);
    }
    bool AllTaken() const { return m_taken == m_values.size(); }

  private:
    const std::string* Take(const char* key) {
        const auto found = m_values.find(key);
        if (found == m_values.end())
            return nullptr;
        ++m_taken;
        return &found->second;
    }

    std::map<std::string, std::string> m_values;
    std::size_t m_taken = 0;
};

constexpr unsigned long long kMaxKind = static_cast<unsigned>(AttemptKind::Cancelled);
constexpr unsigned long long kMaxGuard = static_cast<unsigned>(SoPinGuardVerdict::FinalTryDeclined);
constexpr unsigned long long kMaxReadBack = ReadBack::kNotVerified;
constexpr unsigned long long kMaxUlong = static_cast<CK_ULONG>(-1);

} // namespace

std::string EncodeAttemptResultLine(const AttemptResult& r) {
    std::string line = kPrefix;
    auto add = [&line](const char* key, const std::string& value) {
        line += ' ';
        line += key;
        line += '=';
        line += value;
    };
    add("kind", Number(static_cast<unsigned>(r.kind)));
    add("message", Number(r.messageId));
    add("show_code", Number(r.bShowCode));
    add("rv", Number(r.rv));
    add("token", Number(r.bToken));
    add("slot", Number(r.slot));
    add("has_info", Number(r.bInfo));
    add("info", Hex(&r.info, sizeof r.info));
    add("standard", Number(r.bStandard));
    add("serial", Escaped(r.strSerial));
    add("version", Escaped(r.strVersion));
    add("read_back", Number(r.bReadBack));
    add("read_back_outcome", Number(static_cast<unsigned>(r.readBack.outcome)));
    add("read_back_message", Number(r.readBack.mismatchId));
    add("read_back_rv", Number(r.readBack.rv));
    add("mismatch_prefix", Number(r.mismatchPrefixId));
    add("guard", Number(static_cast<unsigned>(r.guard)));
    add("so_pin_refused", Number(r.bSoPinRefused));
    return line;
}

std::optional<AttemptResult> DecodeAttemptResultLine(const std::string& line) {
    Fields fields;
    AttemptResult r;
    unsigned readBackOutcome = 0;
    const bool bRead = fields.Split(line) && fields.Value("kind", r.kind, kMaxKind) &&
                       fields.Value("message", r.messageId, 0xFFFF) &&
                       fields.Flag("show_code", r.bShowCode) && fields.Value("rv", r.rv, kMaxUlong) &&
                       fields.Flag("token", r.bToken) && fields.Value("slot", r.slot, kMaxUlong) &&
                       fields.Flag("has_info", r.bInfo) && fields.Bytes("info", &r.info, sizeof r.info) &&
                       fields.Flag("standard", r.bStandard) && fields.Text("serial", r.strSerial) &&
                       fields.Text("version", r.strVersion) && fields.Flag("read_back", r.bReadBack) &&
                       fields.Value("read_back_outcome", readBackOutcome, kMaxReadBack) &&
                       fields.Value("read_back_message", r.readBack.mismatchId, 0xFFFF) &&
                       fields.Value("read_back_rv", r.readBack.rv, kMaxUlong) &&
                       fields.Value("mismatch_prefix", r.mismatchPrefixId, 0xFFFF) &&
                       fields.Value("guard", r.guard, kMaxGuard) &&
                       fields.Flag("so_pin_refused", r.bSoPinRefused) && fields.AllTaken();
    if (!bRead)
        return std::nullopt;
    r.readBack.outcome = static_cast<ReadBack::Outcome>(readBackOutcome);
    return r;
}
