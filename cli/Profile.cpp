#include "cli/Profile.h"

#include "base/DecimalText.h"
#include "base/FieldMessages.h"
#include "pki/PkiLimits.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "base/Utf8.h"

#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <map>
#include <sstream>

namespace {

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

// "FILE，第N行：", where a profile's line is refused.
std::wstring AtLine(const std::wstring& name, unsigned long lineNumber) {
    return name + L"，第" + std::to_wstring(lineNumber) + L"行：";
}

// No control character but the tab and the line end's CR, no undecodable byte (U+FFFD).
bool IsPlainText(const std::wstring& line) {
    for (wchar_t c : line)
        if ((c < 0x20 && c != L'\t' && c != L'\r') || c == 0x7F || c == 0xFFFD)
            return false;
    return true;
}

// The file's bytes; false for anything that cannot be read whole (missing, a folder, locked).
bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
    std::error_code error;
#ifdef _WIN32
    const std::filesystem::path fsPath(path);
#else
    const std::filesystem::path fsPath(WideToUtf8(path));
#endif
    if (!std::filesystem::is_regular_file(fsPath, error))
        return false;
#ifdef _WIN32
    std::FILE* file = _wfopen(path.c_str(), L"rb");
#else
    std::FILE* file = std::fopen(fsPath.c_str(), "rb");
#endif
    if (file == nullptr)
        return false;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, got);
    const bool bRead = std::ferror(file) == 0;
    std::fclose(file);
    return bRead;
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

// Checks one numeric key if present and stores it.
template <class Field>
bool TakeNumber(const std::map<std::wstring, std::wstring>& entries, const wchar_t* key,
                unsigned long minValue, unsigned long maxValue, Field& field, std::wstring& error) {
    auto it = entries.find(key);
    if (it == entries.end())
        return true;
    unsigned long value = 0;
    if (!ParseUnsigned(it->second, value, error) || !CheckRange(value, minValue, maxValue, error)) {
        error = std::wstring(key) + L"：" + error;
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
    static const wchar_t* const kKeys[] = {L"label", L"so_pin_max_retry", L"user_pin_max_retry",
                                           L"public_size", L"private_size"};
    std::map<std::wstring, std::wstring> entries;
    std::wistringstream lines(content);
    unsigned long lineNumber = 0;
    for (std::wstring line; std::getline(lines, line);) {
        ++lineNumber;
        // Control characters and bytes that are no UTF-8 are never shown: the file is named.
        if (!IsPlainText(line)) {
            read.error = AtLine(name, lineNumber) + L"含有控制字符或无效的UTF-8";
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
            read.error = L"配置文件中无法识别的行：" + key;
            return read;
        }
        std::wstring value = Trim(line.substr(equals + 1));
        if (value.size() >= 2 && value.front() == L'"' && value.back() == L'"')
            value = value.substr(1, value.size() - 2);
        if (!entries.emplace(key, value).second) {
            read.error = AtLine(name, lineNumber) + key + L" 重复";
            return read;
        }
    }

    for (const wchar_t* key : {L"so_pin_max_retry", L"user_pin_max_retry", L"public_size", L"private_size"})
        read.bSetsLimits = read.bSetsLimits || entries.count(key) != 0;
    // The page's order of exchange decides which bad field is reported.
    PkiFormatParams& p = read.params;
    if (!TakeNumber(entries, L"private_size", 0, kAreaSizeMax, p.ulPrivateSize, read.error) ||
        !TakeNumber(entries, L"public_size", 0, kAreaSizeMax, p.ulPublicSize, read.error) ||
        !TakeNumber(entries, L"so_pin_max_retry", kRetryMin, kRetryMax, p.bySoPinMaxRetry, read.error))
        return read;
    auto label = entries.find(L"label");
    if (label != entries.end()) {
        if (label->second.size() > static_cast<std::size_t>(kLabelMaxChars)) {
            read.error = L"label：" + TooLong(kLabelMaxChars);
            return read;
        }
        p.strLabel = label->second;
    }
    if (!TakeNumber(entries, L"user_pin_max_retry", kRetryMin, kRetryMax, p.byUserPinMaxRetry, read.error))
        return read;
    // The label's UTF-8 length must be 1 to 31: refused here rather than on every token.
    if (MakeLabelField(p.strLabel).empty())
        read.error = L"label：" + LoadStringOrDefault(IDS_LABEL_LENGTH);
    return read;
}

ProfileRead ReadProfile(const std::wstring& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        ProfileRead read;
        read.error = L"无法读取配置文件：" + path;
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
