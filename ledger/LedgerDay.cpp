#include "ledger/LedgerDay.h"

#include <cstdio>
#include <string>

namespace {

constexpr const char* kDayFileEnding = ".csv";
constexpr std::size_t kDateLength = 10; // YYYY-MM-DD

bool IsDigits(const std::string& text, std::size_t at, std::size_t count) {
    for (std::size_t i = at; i < at + count; ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

int Number(const std::string& text, std::size_t at, std::size_t count) {
    return std::stoi(text.substr(at, count));
}

} // namespace

std::string LedgerDayName(const LedgerTime& time) {
    char text[24];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", time.year, time.month, time.day);
    return text;
}

std::string LedgerDayFileName(const LedgerTime& time) {
    return LedgerDayName(time) + kDayFileEnding;
}

bool IsLedgerDate(const std::string& text) {
    if (text.size() != kDateLength || text[4] != '-' || text[7] != '-' || !IsDigits(text, 0, 4) ||
        !IsDigits(text, 5, 2) || !IsDigits(text, 8, 2))
        return false;
    const int year = Number(text, 0, 4), month = Number(text, 5, 2), day = Number(text, 8, 2);
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month >= 1 && month <= 12 && day >= 1 && day <= (month == 2 && !leap ? 28 : kDays[month - 1]);
}

std::optional<std::string> LedgerDayOfFileName(const std::string& fileName) {
    const std::string ending = kDayFileEnding;
    if (fileName.size() != kDateLength + ending.size() ||
        fileName.compare(kDateLength, ending.size(), ending) != 0)
        return std::nullopt;
    std::string date = fileName.substr(0, kDateLength);
    if (!IsLedgerDate(date))
        return std::nullopt;
    return date;
}
