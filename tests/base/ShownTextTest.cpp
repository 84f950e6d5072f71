// Text from outside shown escaped, and files of any kind read within their limit.
#include "base/RegularFile.h"
#include "base/ShownText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

TEST(ShownText, EscapesControlsAndBadBytesKeepsTheRest) {
    EXPECT_EQ("序列号 A1", ShownText(std::string("序列号 A1")));
    EXPECT_EQ("\\x1B]0;title\\x07", ShownText(std::string("\x1B]0;title\x07")));
    EXPECT_EQ("a\\x0Ab\\x00", ShownText(std::string("a\nb\0", 4)));
    EXPECT_EQ("\\xC4\\xE3", ShownText(std::string("\xC4\xE3"))); // code page 936, not UTF-8
    EXPECT_EQ("\\x85", ShownText(std::string("\xC2\x85")));      // C1 next line
    EXPECT_EQ("abc…", ShownText(std::string("abcdef"), 3));
    EXPECT_EQ(L"x\\x1By", ShownText(std::wstring(L"x\x1By")));
    EXPECT_TRUE(IsValidUtf8(std::string("锁")));
    EXPECT_FALSE(IsValidUtf8(std::string("\xED\xA0\x80"))); // an encoded surrogate
    EXPECT_FALSE(IsValidUtf8(std::string("\xC0\xAF")));     // an overlong form
}

class RegularFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::current_path() / "regular-file";
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    std::filesystem::path Write(const char* name, const std::string& bytes) {
        const auto path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::filesystem::path folder_;
};

TEST_F(RegularFileTest, ReadsOnlyRegularFilesWithinTheLimit) {
    std::string bytes;
    EXPECT_EQ(FileRead::kRead, ReadRegularFile(Write("ok.txt", "abc"), 3, bytes));
    EXPECT_EQ("abc", bytes);
    EXPECT_EQ(FileRead::kTooLarge, ReadRegularFile(Write("big.txt", "abcd"), 3, bytes));
    EXPECT_EQ(FileRead::kMissing, ReadRegularFile(folder_ / "none.txt", 3, bytes));
    EXPECT_EQ(FileRead::kNotRegular, ReadRegularFile(folder_, 3, bytes));
    EXPECT_EQ("文件过大（上限 64 KB）", FileReadProblem(FileRead::kTooLarge, 64 * 1024));
    EXPECT_EQ("1 MB", LimitText(1 << 20));
}

#ifndef _WIN32
TEST_F(RegularFileTest, DevicesAndPipesAreRefusedWithoutBlocking) {
    std::string bytes;
    EXPECT_EQ(FileRead::kNotRegular, ReadRegularFile("/dev/zero", 1 << 20, bytes));
    EXPECT_EQ(FileRead::kNotRegular, ReadRegularFile("/dev/null", 1 << 20, bytes));
    const auto fifo = folder_ / "fifo";
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    EXPECT_EQ(FileRead::kNotRegular, ReadRegularFile(fifo, 1 << 20, bytes)); // no writer: must not hang
}
#endif

} // namespace
