// The 33-byte label field of the PKI record: UTF-8 label, spaces to byte 31, zero at byte 32.
#include "PkiInitRecord.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string FieldBytes(const SecureBytes& field) {
    // Includes the zero SecureBytes keeps after its last byte: byte 32 of the field.
    return std::string(reinterpret_cast<const char*>(field.data()), field.size() + 1);
}

std::string Expected(const std::string& utf8) {
    return utf8 + std::string(32 - utf8.size(), ' ') + std::string(1, '\0');
}

TEST(LabelField, LabelIsFollowedBySpacesAndOneZero) {
    SecureBytes field = MakeLabelField(L"Orbel");
    ASSERT_EQ(32u, field.size());
    EXPECT_EQ(Expected("Orbel"), FieldBytes(field));
    EXPECT_EQ(std::string(27, ' '), FieldBytes(field).substr(5, 27));
}

TEST(LabelField, AcceptsOneToThirtyOneBytes) {
    EXPECT_EQ(Expected("x"), FieldBytes(MakeLabelField(L"x")));
    const std::string longest(31, 'A');
    EXPECT_EQ(Expected(longest), FieldBytes(MakeLabelField(std::wstring(31, L'A'))));
}

TEST(LabelField, RefusesEmptyAndThirtyTwoBytesOrMore) {
    EXPECT_TRUE(MakeLabelField(L"").empty());
    EXPECT_TRUE(MakeLabelField(std::wstring(32, L'A')).empty());
    EXPECT_TRUE(MakeLabelField(std::wstring(100, L'A')).empty());
}

TEST(LabelField, ChineseCharactersCountThreeBytes) {
    // Ten characters are 30 bytes and fit; eleven are 33 and do not.
    const std::wstring ten(10, L'\x4E2D');
    std::string utf8;
    for (int i = 0; i < 10; ++i)
        utf8 += "\xE4\xB8\xAD";
    EXPECT_EQ(Expected(utf8), FieldBytes(MakeLabelField(ten)));
    EXPECT_TRUE(MakeLabelField(ten + L'\x4E2D').empty());
    // 29 ASCII bytes and one Chinese character make 32 bytes: refused.
    EXPECT_TRUE(MakeLabelField(std::wstring(29, L'a') + L'\x4E2D').empty());
}

TEST(LabelField, LabelEndsAtItsFirstZeroCharacter) {
    const std::wstring label(L"ab\0cd", 5);
    EXPECT_EQ(Expected("ab"), FieldBytes(MakeLabelField(label)));
    EXPECT_TRUE(MakeLabelField(std::wstring(L"\0abc", 4)).empty());
}

} // namespace
