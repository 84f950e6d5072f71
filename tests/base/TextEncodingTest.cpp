// WideToMultiByte: the bytes the module receives for a PIN (ANSI code page) or a label (UTF-8).
#include "base/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <clocale>
#endif

namespace {

std::string Bytes(const SecureBytes& bytes) {
    // The storage always ends with a zero after the counted bytes.
    EXPECT_EQ(0, bytes.data()[bytes.size()]);
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::string Convert(const std::wstring& text, unsigned codePage) {
    return Bytes(WideToMultiByte(text, codePage));
}

// Guards against PIN bytes that differ from the typed text, a conversion that runs past the
// first zero character, or a stored form without its closing zero. What the module receives
// for a label (UTF-8, cut at a zero character) is checked in PkiInitTest, and an empty PIN in
// WipeTokenTest.
TEST(TextEncoding, AsciiPinsAndTheFirstZeroCharacter) {
    EXPECT_EQ("", Convert(L"", CP_ACP));
    EXPECT_EQ("tamsel", Convert(L"tamsel", CP_ACP));
    EXPECT_EQ(std::string(100, '7'), Convert(std::wstring(100, L'7'), CP_ACP)); // the PIN field limit
    EXPECT_EQ("ab", Convert(std::wstring(L"ab\0cd", 5), CP_ACP));
    EXPECT_EQ("\xC3\xA9", Convert(L"\x00E9", CP_UTF8));
    EXPECT_EQ("", Convert(L"tamsel", 54321)) << "an unknown code page gives nothing";
}

#ifdef _WIN32
// The operators' desktops (and the Wine test runs) use code page 936.
class AnsiCodePage936 : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 936u) << "code page 936 must be in force (scripts/wine-prefix.sh sets it)";
    }
};

TEST_F(AnsiCodePage936, ChineseCharacterIsItsTwoGbkBytes) {
    EXPECT_EQ("\xD6\xD0", Convert(L"\x4E2D", CP_ACP));
    EXPECT_EQ("pin\xD6\xD0\xCE\xC4", Convert(L"pin\x4E2D\x6587", CP_ACP));
}

TEST_F(AnsiCodePage936, UnrepresentableCharacterBecomesTheDefaultCharacter) {
    EXPECT_EQ("a?b", Convert(L"a\x0E01"
                             L"b",
                             CP_ACP)); // a Thai letter: not in GBK
}
#else
// The process locale's character set stands for the active code page natively.
class CharacterSet : public ::testing::Test {
  protected:
    void TearDown() override { std::setlocale(LC_CTYPE, m_saved.c_str()); }
    bool Use(const char* locale) { return std::setlocale(LC_CTYPE, locale) != nullptr; }

  private:
    std::string m_saved = std::setlocale(LC_CTYPE, nullptr);
};

TEST_F(CharacterSet, Utf8LocaleMatchesUtf8) {
    ASSERT_TRUE(Use("C.UTF-8")) << "the C.UTF-8 locale is not installed";
    const std::wstring text = L"Orbel\x4E2D\x00E9\x0E01";
    EXPECT_EQ(Convert(text, CP_UTF8), Convert(text, CP_ACP));
}

TEST_F(CharacterSet, CLocaleTurnsTheUnrepresentableIntoQuestionMarks) {
    ASSERT_TRUE(Use("C"));
    EXPECT_EQ("a?b?", Convert(L"a\x4E2D"
                              L"b\x00E9",
                              CP_ACP));
    EXPECT_EQ("\xE4\xB8\xAD", Convert(L"\x4E2D", CP_UTF8)); // UTF-8 does not depend on the locale
}
#endif

} // namespace
