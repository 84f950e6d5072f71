#include "attempt/AttemptResultLine.h"

#include "base/HexText.h"
#include "base/Utf8.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>

namespace {

constexpr char kPrefix[] = "result";

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
constexpr HexCase kWritten = HexCase::kUpper;

bool ParseNumber(const std::string& text, unsigned long long max, unsigned long long& value) {
    if (text.empty() || text.size() > 16)
        return false;
    value = 0;
    for (char c : text) {
        const int digit = HexDigitValue(c, kWritten);
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
        const int byte = HexByteValue(text[2 * i], text[2 * i + 1], kWritten);
        if (byte < 0)
            return false;
        bytes[i] = static_cast<unsigned char>(byte);
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
        const int byte = HexByteValue(text[i + 1], text[i + 2], kWritten);
        if (byte < 0)
            return false;
        utf8 += static_cast<char>(byte);
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
    // One of `names`, as its index.
    template <std::size_t N> bool Word(const char* key, const char* const (&names)[N], std::size_t& index) {
        const std::string* text = Take(key);
        for (index = 0; text != nullptr && index < N; ++index)
            if (*text == names[index])
                return true;
        return false;
    }
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
constexpr unsigned long long kMaxId = 0xFFFF; // string-table ids
constexpr unsigned long long kMaxUlong = static_cast<CK_ULONG>(-1);

// The cases' names, in the order of their variant's alternatives.
constexpr const char* kEndNames[] = {"message", "unknown_answer", "mismatch", "not_verified"};
constexpr const char* kTokenNames[] = {"none", "unread", "record", "standard"};
constexpr const char* kStopNames[] = {"none", "so_pin_refused"};
static_assert(std::size(kEndNames) == std::variant_size_v<AttemptEnd>);
static_assert(std::size(kTokenNames) == std::variant_size_v<SeenToken>);
static_assert(std::size(kStopNames) == static_cast<std::size_t>(AttemptStop::SoPinRefused) + 1);

void Add(std::string& line, const char* key, const std::string& value) {
    line += ' ';
    line += key;
    line += '=';
    line += value;
}

void AddEnd(std::string& line, const AttemptEnd& end) {
    Add(line, "end", kEndNames[end.index()]);
    if (const auto* message = std::get_if<EndMessage>(&end)) {
        Add(line, "message", Number(message->messageId));
    } else if (const auto* mismatch = std::get_if<ReadBackMismatch>(&end)) {
        Add(line, "prefix", Number(mismatch->prefixId));
        Add(line, "mismatch", Number(mismatch->mismatchId));
    } else if (const auto* unverified = std::get_if<NotVerified>(&end)) {
        Add(line, "message", Number(unverified->successId));
        Add(line, "read_back_rv", Number(unverified->rv));
    }
}

void AddToken(std::string& line, const SeenToken& token) {
    Add(line, "token", kTokenNames[token.index()]);
    if (const std::optional<CK_SLOT_ID> slot = SlotOf(token))
        Add(line, "slot", Number(*slot));
    if (const auto* record = std::get_if<VendorRecord>(&token)) {
        Add(line, "info", HexText(&record->info, sizeof record->info));
    } else if (const auto* identity = std::get_if<StandardIdentity>(&token)) {
        Add(line, "serial", Escaped(identity->serial));
        Add(line, "version", Escaped(identity->version));
    }
}

// The case `index` of kEndNames with its fields; `kind` is the line's, which only a message's
// end carries itself.
bool TakeEnd(Fields& fields, std::size_t index, AttemptKind kind, AttemptEnd& end) {
    switch (index) {
    case 0:
        end = EndMessage{kind, 0};
        return fields.Value("message", std::get<EndMessage>(end).messageId, kMaxId);
    case 1:
        end = UnknownAnswer{};
        return true;
    case 2: {
        end = ReadBackMismatch{};
        auto& taken = std::get<ReadBackMismatch>(end);
        return fields.Value("prefix", taken.prefixId, kMaxId) &&
               fields.Value("mismatch", taken.mismatchId, kMaxId);
    }
    default: {
        end = NotVerified{};
        auto& taken = std::get<NotVerified>(end);
        return fields.Value("message", taken.successId, kMaxId) &&
               fields.Value("read_back_rv", taken.rv, kMaxUlong);
    }
    }
}

bool TakeToken(Fields& fields, std::size_t index, SeenToken& token) {
    CK_SLOT_ID slot = 0;
    if (index != 0 && !fields.Value("slot", slot, kMaxUlong))
        return false;
    switch (index) {
    case 0:
        token = std::monostate();
        return true;
    case 1:
        token = UnreadToken{slot};
        return true;
    case 2: {
        token = VendorRecord{slot, {}};
        auto& record = std::get<VendorRecord>(token);
        return fields.Bytes("info", &record.info, sizeof record.info);
    }
    default: {
        token = StandardIdentity{slot, {}, {}};
        auto& identity = std::get<StandardIdentity>(token);
        return fields.Text("serial", identity.serial) && fields.Text("version", identity.version);
    }
    }
}

} // namespace

std::string EncodeAttemptResultLine(const AttemptResult& r) {
    std::string line = kPrefix;
    Add(line, "kind", Number(static_cast<unsigned>(r.Kind())));
    Add(line, "rv", Number(r.rv));
    AddEnd(line, r.end);
    AddToken(line, r.token);
    Add(line, "stop", kStopNames[static_cast<std::size_t>(r.stop)]);
    return line;
}

std::optional<AttemptResult> DecodeAttemptResultLine(const std::string& line) {
    Fields fields;
    AttemptResult r;
    AttemptKind kind = AttemptKind::NoToken;
    std::size_t end = 0, token = 0, stop = 0;
    const bool bRead = fields.Split(line) && fields.Value("kind", kind, kMaxKind) &&
                       fields.Value("rv", r.rv, kMaxUlong) && fields.Word("end", kEndNames, end) &&
                       TakeEnd(fields, end, kind, r.end) && fields.Word("token", kTokenNames, token) &&
                       TakeToken(fields, token, r.token) && fields.Word("stop", kStopNames, stop) &&
                       fields.AllTaken();
    // A read-back or an unknown answer under another kind than its own is no result.
    if (!bRead || r.Kind() != kind)
        return std::nullopt;
    r.stop = static_cast<AttemptStop>(stop);
    return r;
}
