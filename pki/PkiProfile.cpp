#include "pki/PkiProfile.h"

#include "base/ArgumentPath.h"
#include "base/DecimalText.h"
#include "base/FieldMessages.h"
#include "base/Language.h"
#include "base/RegularFile.h"
#include "base/ShownText.h"
#include "base/Utf8.h"
#include "pki/PkiLimits.h"
#include "res/StringIds.h"
#include "res/StringTable.h"

#include <cwchar>
#include <iterator>
#include <map>
#include <sstream>

namespace {

constexpr std::size_t kShownNameMaxChars = 300; // a file's name in a message
constexpr std::size_t kShownKeyMaxChars = 40;   // an unknown key: enough to recognise it

constexpr wchar_t kLabelKey[] = L"label";
constexpr wchar_t kSoRetryKey[] = L"so_pin_max_retry";
constexpr wchar_t kUserRetryKey[] = L"user_pin_max_retry";
constexpr wchar_t kPublicSizeKey[] = L"public_size";
constexpr wchar_t kPrivateSizeKey[] = L"private_size";
constexpr const wchar_t* kLimitKeys[] = {kSoRetryKey, kUserRetryKey, kPublicSizeKey, kPrivateSizeKey};

// One entry of the file: its value and the line it stands on.
struct Entry {
    std::wstring value;
    unsigned long line = 0;
};
using Entries = std::map<std::wstring, Entry>;

std::wstring RangeText(const wchar_t* format, unsigned long a, unsigned long b) {
    wchar_t text[80];
    std::swprintf(text, sizeof text / sizeof text[0], format, a, b);
    return text;
}

std::wstring TooLong(int maxChars) {
    wchar_t text[80];
    std::swprintf(text, sizeof text / sizeof text[0], kTooLongFormat, maxChars);
    return text;
}

// "FILE，第N行：", where a profile's line is refused; the name as the operator typed it, escaped.
std::wstring AtLine(const std::wstring& name, unsigned long lineNumber) {
    return ShownText(name, kShownNameMaxChars) + Localized(L"，第", L", line ") +
           std::to_wstring(lineNumber) + Localized(L"行：", L": ");
}

// No control character but the tab and the line end's CR (C0, DEL, C1, the line and paragraph
// separators), no undecodable byte (U+FFFD).
bool IsPlainText(const std::wstring& line) {
    for (wchar_t c : line)
        if ((c < 0x20 && c != L'\t' && c != L'\r') || (c >= 0x7F && c <= 0x9F) || c == 0x2028 ||
            c == 0x2029 || c == 0xFFFD)
            return false;
    return true;
}

std::wstring Trim(const std::wstring& text) {
    const std::size_t first = text.find_first_not_of(L" \t\r");
    if (first == std::wstring::npos)
        return std::wstring();
    return text.substr(first, text.find_last_not_of(L" \t\r") - first + 1);
}

// Decimal without sign; a value past the maximum fails the range check, not the parse.
bool ParseUnsigned(const std::wstring& text, unsigned long& value, std::wstring& error) {
    const std::optional<unsigned long> parsed = ParseDecimalDigits(text);
    if (!parsed) {
        error = kNotUnsigned;
        return false;
    }
    value = *parsed;
    return true;
}

bool CheckRange(unsigned long value, unsigned long minValue, unsigned long maxValue, std::wstring& error) {
    if (value >= minValue && value <= maxValue)
        return true;
    error = RangeText(kUnsignedRangeFormat, minValue, maxValue);
    return false;
}

// Checks one numeric key if present and stores it; a bad value is named by file, line and key.
template <class Field>
bool TakeNumber(const Entries& entries, const std::wstring& name, const wchar_t* key, unsigned long minValue,
                unsigned long maxValue, Field& field, std::wstring& error) {
    auto it = entries.find(key);
    if (it == entries.end())
        return true;
    unsigned long value = 0;
    if (!ParseUnsigned(it->second.value, value, error) || !CheckRange(value, minValue, maxValue, error)) {
        error = AtLine(name, it->second.line) + key + Localized(L"：", L": ") + error;
        return false;
    }
    field = static_cast<Field>(value);
    return true;
}

} // namespace

ProfileRead ParseProfile(const std::string& text, const std::wstring& name) {
    ProfileRead read;
    std::wstring content = Utf8ToWide(text);
    if (!content.empty() && content[0] == 0xFEFF)
        content.erase(0, 1);
    static const wchar_t* const kKeys[] = {kLabelKey, kSoRetryKey, kUserRetryKey, kPublicSizeKey,
                                           kPrivateSizeKey};
    Entries entries;
    std::wistringstream lines(content);
    unsigned long lineNumber = 0;
    for (std::wstring line; std::getline(lines, line);) {
        ++lineNumber;
        // Control characters and bytes that are no UTF-8 are never shown: the file is named.
        if (!IsPlainText(line)) {
            read.error = AtLine(name, lineNumber) + Localized(L"含有控制字符或无效的UTF-8",
                                                              L"holds control characters or invalid UTF-8");
            return read;
        }
        line = Trim(line);
        if (line.empty() || line[0] == L'#' || line[0] == L';' || line[0] == L'[')
            continue;
        const std::size_t equals = line.find(L'=');
        const std::wstring key = Trim(line.substr(0, equals));
        bool known = false;
        for (const wchar_t* keyName : kKeys)
            known = known || key == keyName;
        if (equals == std::wstring::npos || !known) {
            read.error = AtLine(name, lineNumber) +
                         Localized(L"配置文件中无法识别的行：", L"line not recognised in the profile: ") +
                         ShownText(key, kShownKeyMaxChars);
            return read;
        }
        std::wstring value = Trim(line.substr(equals + 1));
        if (value.size() >= 2 && value.front() == L'"' && value.back() == L'"')
            value = value.substr(1, value.size() - 2);
        if (!entries.emplace(key, Entry{value, lineNumber}).second) {
            read.error = AtLine(name, lineNumber) + key + Localized(L" 重复", L" appears twice");
            return read;
        }
    }

    for (const wchar_t* key : kLimitKeys)
        read.bSetsLimits = read.bSetsLimits || entries.count(key) != 0;
    // The page's order of exchange decides which bad field is reported.
    PkiInitParams& p = read.params;
    if (!TakeNumber(entries, name, kPrivateSizeKey, 0, kAreaSizeMax, p.ulPrivateSize, read.error) ||
        !TakeNumber(entries, name, kPublicSizeKey, 0, kAreaSizeMax, p.ulPublicSize, read.error) ||
        !TakeNumber(entries, name, kSoRetryKey, kRetryMin, kRetryMax, p.bySoPinMaxRetry, read.error))
        return read;
    auto label = entries.find(kLabelKey);
    const std::wstring labelAt = label == entries.end() ? std::wstring() : AtLine(name, label->second.line);
    // One rule and one message for the label, its UTF-8 length: no separate count of
    // characters whose message would promise more than the byte rule lets through.
    if (label != entries.end())
        p.strLabel = label->second.value;
    if (!TakeNumber(entries, name, kUserRetryKey, kRetryMin, kRetryMax, p.byUserPinMaxRetry, read.error))
        return read;
    // The page's rule: 1 to PKI_LABEL_MAX_BYTES bytes of UTF-8, refused here rather than on every token.
    if (MakeLabelField(p.strLabel).empty())
        read.error = labelAt + L"label" + Localized(L"：", L": ") + LoadStringOrDefault(IDS_LABEL_LENGTH);
    return read;
}

std::vector<std::wstring> ProfileLines(const PkiInitParams& params, bool bLimits) {
    const std::wstring& label = params.strLabel;
    // ParseProfile trims a value and takes off one pair of quotes around it.
    auto trimmed = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'"'; };
    const bool bQuoted = !label.empty() && (trimmed(label.front()) || trimmed(label.back()));
    std::vector<std::wstring> lines{std::wstring(kLabelKey) + L"=" +
                                    (bQuoted ? L"\"" + label + L"\"" : label)};
    if (!bLimits)
        return lines;
    const unsigned long limits[] = {params.bySoPinMaxRetry, params.byUserPinMaxRetry, params.ulPublicSize,
                                    params.ulPrivateSize};
    for (std::size_t i = 0; i < std::size(limits); ++i)
        lines.push_back(std::wstring(kLimitKeys[i]) + L"=" + std::to_wstring(limits[i]));
    return lines;
}

ProfileRead ReadProfile(const std::wstring& path) {
    std::string bytes;
    const FileRead status = ReadRegularFile(ArgumentPath(path), kProfileMaxBytes, bytes);
    if (status != FileRead::kRead) {
        ProfileRead read;
        read.error = Localized(L"无法读取配置文件：", L"Cannot read the profile: ") +
                     ShownText(path, kShownNameMaxChars) + Localized(L"，", L", ") +
                     Utf8ToWide(FileReadProblem(status, kProfileMaxBytes));
        return read;
    }
    return ParseProfile(bytes, path);
}

namespace {

bool IsTooLong(const SecretText& pin) {
    return pin.length() > static_cast<std::size_t>(kPinMaxChars);
}

} // namespace

std::wstring CheckCurrentSoPin(const SecretText& soPin) {
    return IsTooLong(soPin) ? TooLong(kPinMaxChars) : std::wstring();
}

std::wstring CheckNewPins(const SecretText& soPin, const SecretText& userPin) {
    if (IsTooLong(soPin) || IsTooLong(userPin))
        return TooLong(kPinMaxChars);
    if (!ArePinLengthsValid(soPin.length(), userPin.length()))
        return LoadStringOrDefault(IDS_PIN_LENGTH);
    return std::wstring();
}
