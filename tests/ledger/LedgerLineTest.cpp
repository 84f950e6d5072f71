// The text of one ledger line: fields a spreadsheet reads back exactly as they were given.
#include "ledger/LedgerDay.h"
#include "ledger/LedgerLine.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

std::string TimeText(int hour, int offsetMinutes) {
    return LedgerTimeText({2026, 12, 6, hour, 3, 5, offsetMinutes});
}

// A comma, quote or line break must not split or shift the columns, and text starting like a
// formula (token texts and typed texts alike) must never be evaluated by a spreadsheet.
TEST(LedgerLine, QuotesSplittingFieldsAndGuardsFormulas) {
    const struct {
        const char* text;
        const char* field;
    } cases[] = {
        {"plain", "plain"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"2\r\nlines", "\"2\r\nlines\""},
        {"", ""},
        {"=1+1", "'=1+1"},
        {"+86", "'+86"},
        {"-5", "'-5"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"a=b", "a=b"},
        {"=a,b", "\"'=a,b\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.field, CsvField(c.text)) << c.text;

    LedgerEntry entry;
    entry.serial = L"=S";
    entry.cosVersion = L"+C";
    entry.label = L"-L";
    entry.message = L"@M";
    const std::string line = LedgerLineText(entry, {}, "=station", "+user");
    for (const char* guarded : {",'=S,", ",'+C,", ",'-L,", ",'@M\r\n", ",'=station,", ",'+user,"})
        EXPECT_NE(std::string::npos, line.find(guarded)) << guarded << " in " << line;
}

// Chinese and characters beyond the basic plane reach the file as UTF-8, whatever the code page.
TEST(LedgerLine, WritesTextAsUtf8) {
    LedgerEntry entry;
    entry.label = L"\x6D4B\x8BD5"; // 测试
    entry.message = L"\U0001F512"; // one character, a surrogate pair on Windows
    const std::string line = LedgerLineText(entry, {}, "", "");
    EXPECT_NE(std::string::npos, line.find(",\xE6\xB5\x8B\xE8\xAF\x95,")) << line;
    EXPECT_NE(std::string::npos, line.find(",\xF0\x9F\x94\x92\r\n")) << line;
}

// The type byte read before the attempt: an unexpected code stays visible as its number.
TEST(LedgerLine, NamesTheTypeBefore) {
    const std::pair<std::optional<std::uint8_t>, const char*> cases[] = {
        {1, "pki"}, {2, "lock"}, {4, "blank"}, {0, "unknown(0)"}, {255, "unknown(255)"}, {std::nullopt, ""}};
    for (const auto& [type, text] : cases)
        EXPECT_EQ(text, TypeBeforeText(type));
}

// Local time carries its offset, east and west of UTC, so stations in other zones compare.
TEST(LedgerLine, FormatsLocalTimeWithItsOffset) {
    EXPECT_EQ("2026-12-06T14:03:05+08:00", TimeText(14, 480));
    EXPECT_EQ("2026-12-06T00:03:05-05:30", TimeText(0, -330));
    EXPECT_EQ("2026-12-06T23:03:05+00:00", TimeText(23, 0));
    EXPECT_EQ("2026-01-09.csv", LedgerDayFileName({2026, 1, 9, 23, 59, 59, -600}));
}

} // namespace
