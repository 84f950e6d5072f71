// The supplier's stock list as it arrives: a bare list or a spreadsheet export, with what
// editors add around it tolerated and anything else refused at its line.
#include "stock/StockList.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using Serials = std::vector<std::string>;

// Both forms, with a byte-order mark, CRLF, blank lines, spaces, quotes and repeats.
TEST(StockList, ReadsBareListsAndSerialColumns) {
    const struct {
        const char* bytes;
        Serials serials;
    } cases[] = {
        {"\xEF\xBB\xBF"
         "01A2000000003C4D\r\n\r\n  01A2000000003C4E \r\n01a2000000003c4d\n",
         {"01A2000000003C4D", "01A2000000003C4E"}},
        {"serial\n A1\nB2", {"A1", "B2"}},
        {"\xEF\xBB\xBF"
         "box, Serial ,note\r\n1,\"A1\",\"first, of two\"\r\n\r\n2, B2 ,\r\n",
         {"A1", "B2"}},
    };
    for (const auto& c : cases) {
        const StockList list = ParseStockList(c.bytes);
        EXPECT_EQ("", list.error) << c.bytes;
        EXPECT_EQ(c.serials, list.serials) << c.bytes;
    }
    EXPECT_EQ(StockKey(" 01a2 "), StockKey("01A2"));
}

// A malformed list is refused as a whole, naming the first line at fault.
TEST(StockList, NamesTheLineAtFault) {
    const struct {
        const char* bytes;
        std::size_t line;
    } cases[] = {
        {"A1\n\nB 2\n", 3},                    // a space inside
        {"A1\nB2,C3\n", 2},                    // two values on a bare list's line
        {"box,label\n1,A1\n", 1},              // a CSV without a serial column
        {"serial,box\nA1,1\nB2\n", 3},         // a row short of a column
        {"serial,box\nA1,1\n,2\n", 3},         // an empty serial
        {"serial\n\"A1\n", 2},                 // an open quote
        {"A1\n\x01\x02\n", 2},                 // binary bytes
        {"A1\n\xE5\xBA\x8F\xE5\x8F\xB7\n", 2}, // not a serial number
        {"\xEF\xBB\xBF\r\n  \r\n", 0},         // no serial at all
        {"serial\n", 0},
    };
    for (const auto& c : cases) {
        const StockList list = ParseStockList(c.bytes);
        EXPECT_NE("", list.error) << c.bytes;
        EXPECT_EQ(c.line, list.errorLine) << c.bytes;
        if (c.line != 0) {
            EXPECT_EQ(0u, list.error.find("第 " + std::to_string(c.line) + " 行")) << list.error;
        }
    }
    EXPECT_NE("", ReadStockList(std::filesystem::current_path() / "no-such-list.txt").error);
}

} // namespace
