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

// Only the names the ledger gives its day files count as days: a near miss is another file.
TEST(LedgerDay, TellsDayFilesFromNearMisses) {
    EXPECT_EQ("2026-01-09", LedgerDayName({2026, 1, 9, 23, 59, 59, -600}));
    EXPECT_EQ("2024-02-29", LedgerDayOfFileName("2024-02-29.csv").value_or("none"));
    for (const char* name :
         {"2026-02-29.csv", "2026-13-01.csv", "2026-12-00.csv", "2026-12-06.CSV", "2026-12-06.csv.bak",
          "x2026-12-06.csv", "2026-1-06.csv", "2026-12-06csv", "2026/12/06.csv", "+026-12-06.csv", ""})
        EXPECT_FALSE(LedgerDayOfFileName(name).has_value()) << name;
}

LedgerRow RowOf(const std::string& text) {
    LedgerRow row;
    LedgerRowReader reader;
    reader.Feed(text, [&row](const LedgerRow& record) { row = record; });
    return row;
}

// What the writer puts in a line comes back from the reader, the formula guard taken off;
// a line the ledger would not write is no line.
TEST(LedgerLine, ReadsBackWhatItWrote) {
    LedgerEntry entry;
    entry.operation = LedgerOperation::Wipe;
    entry.outcome = LedgerOutcome::Success;
    entry.serial = L"=1+1,\"x\"";
    entry.message = L"-ok";
    const std::string line = LedgerLineText(entry, {2026, 12, 6, 14, 3, 5, 480}, "@st", "u");
    const std::optional<LedgerLineRead> read = ReadLedgerLine(RowOf(line));
    ASSERT_TRUE(read.has_value()) << line;
    EXPECT_EQ(LedgerOperation::Wipe, read->operation);
    EXPECT_EQ(LedgerOutcome::Success, read->outcome);
    EXPECT_EQ(14, read->hour);
    EXPECT_EQ("=1+1,\"x\"", read->serial);
    EXPECT_EQ("'@st", read->station); // names are shown as written
    EXPECT_EQ("'-ok", read->message);
    EXPECT_TRUE(ReadLedgerLine(RowOf(line.substr(0, line.size() - 2) + ",chain\r\n")).has_value());

    EXPECT_EQ("'x", UnguardFormula("'x"));
    EXPECT_EQ("'", UnguardFormula("'"));
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"wipe", "wash"},
                                   {"success", "done"},
                                   {"T14:", "T24:"},
                                   {"T14:", "T1x:"},
                                   {",u,", ",u,extra,"}}) {
        std::string changed = line;
        changed.replace(changed.find(from), from.size(), to);
        EXPECT_FALSE(ReadLedgerLine(RowOf(changed)).has_value()) << changed;
    }
}

} // namespace
