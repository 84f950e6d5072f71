// The supplier's stock list as it arrives: a bare list or a spreadsheet export, with what
// editors add around it tolerated and anything else refused at its line.
#include "stock/StockList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;

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

// A CSV list's holder and label columns travel with their serial (the first line of a
// serial holds); a line that gives neither adds nothing.
TEST(StockList, KeepsHoldersAndLabels) {
    const StockList list = ParseStockList("Label,serial,HOLDER\n"
                                          "\"\xE8\xB4\xA2\xE5\x8A\xA1 01\",a1,\xE6\x9D\x8E\xE6\x98\x8E\n"
                                          ",B2,\n"
                                          "other,A1,other\n");
    ASSERT_EQ("", list.error);
    ASSERT_EQ(1u, list.tokens.size());
    const StockToken& token = list.tokens.at(StockKey("A1"));
    EXPECT_EQ("\xE6\x9D\x8E\xE6\x98\x8E", token.holder);
    EXPECT_EQ("\xE8\xB4\xA2\xE5\x8A\xA1 01", token.label);
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
        {"serial,label\nA1,\"0123456789012345678901234567890123\"\n", 2}, // a label over 31 bytes
        {"serial,holder\nA1,\"Li\tMing\"\n", 2},                          // a control character
    };
    for (const auto& c : cases) {
        const StockList list = ParseStockList(c.bytes);
        EXPECT_NE("", list.error) << c.bytes;
        EXPECT_EQ(c.line, list.errorLine) << c.bytes;
        if (c.line != 0) {
            EXPECT_EQ(0u, list.error.find("第 " + std::to_string(c.line) + " 行")) << list.error;
        }
    }
}

// Whatever the path names, the list is refused with the file and why, at once and without an
// exception; a line's control characters and bytes that are no UTF-8 are shown escaped.
TEST(StockList, RefusesWhatIsNoListFile) {
    const fs::path folder = fs::current_path() / "stock-files";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const auto file = [&](const char* name, const std::string& bytes) {
        std::ofstream(folder / name, std::ios::binary) << bytes;
        return folder / name;
    };
    const fs::path oversize = file("oversize.txt", "");
    fs::resize_file(oversize, kStockListMaxBytes + 1); // sparse: nothing is written
    const struct {
        fs::path path;
        std::string error;
    } cases[] = {
        {folder, "无法读取清单文件，不是普通文件（文件夹、设备或管道）"},
        {folder / "missing.txt", "无法读取清单文件，文件不存在"},
        {oversize, "无法读取清单文件，文件过大（上限 4 MB）"},
        {file("empty.txt", ""), "清单中没有序列号"},
        {file("latin1.txt", "A1\nB\xE9\n"), "第 2 行：含有无效的UTF-8"},
        {file("escape.txt", "A1\n\x1B]0;x\x07\xC2\x9B\n"), "第 2 行：不是序列号：\\x1B]0;x\\x07\\x9B"},
#ifndef _WIN32
        {"/dev/zero", "无法读取清单文件，不是普通文件（文件夹、设备或管道）"},
        {folder / "fifo", "无法读取清单文件，不是普通文件（文件夹、设备或管道）"},
#endif
    };
#ifndef _WIN32
    ASSERT_EQ(0, mkfifo((folder / "fifo").c_str(), 0600)); // nobody writes: a blocking read would hang
#endif
    for (const auto& c : cases)
        EXPECT_EQ(c.error, ReadStockList(c.path).error) << c.path;
    // The file's own name is shown escaped as well.
    EXPECT_EQ(StockListProblem(fs::u8path("a\x1B[2Jb.txt"), ParseStockList("")),
              "清单 a\\x1B[2Jb.txt 有误：清单中没有序列号");
    fs::remove_all(folder);
}

} // namespace
