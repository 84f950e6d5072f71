// Random user PINs: digits only, of the asked length, uniform (no modulo bias), and nothing
// when the generator fails.
#include "seal/RandomPin.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

namespace {

std::wstring Text(const std::optional<SecretText>& pin) {
    return pin ? std::wstring(pin->c_str(), pin->length()) : L"(none)";
}

TEST(RandomPin, BytesFrom250UpAreDroppedAndTheRestGiveTheirLastDecimalDigit) {
    // Even positions hold 250..255, odd positions their index: only the odd ones count.
    const auto source = [](unsigned char* bytes, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<unsigned char>(i % 2 == 0 ? 250 + (i / 2) % 6 : i);
        return true;
    };
    EXPECT_EQ(L"13579135", Text(DigitPinFrom(8, source)));
    const auto onlyDropped = [](unsigned char* bytes, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<unsigned char>(250 + i % 6);
        return true;
    };
    EXPECT_FALSE(DigitPinFrom(8, onlyDropped));
    EXPECT_FALSE(DigitPinFrom(8, [](unsigned char*, std::size_t) { return false; }));
}

TEST(RandomPin, LengthOutsideItsBoundsGivesNothing) {
    const auto zeros = [](unsigned char* bytes, std::size_t size) {
        std::fill(bytes, bytes + size, 0);
        return true;
    };
    EXPECT_FALSE(DigitPinFrom(kRandomPinMinLength - 1, zeros));
    EXPECT_FALSE(DigitPinFrom(kRandomPinMaxLength + 1, zeros));
    EXPECT_EQ(std::wstring(kRandomPinMinLength, L'0'), Text(DigitPinFrom(kRandomPinMinLength, zeros)));
    EXPECT_EQ(std::wstring(kRandomPinMaxLength, L'0'), Text(DigitPinFrom(kRandomPinMaxLength, zeros)));
}

// A fixed byte sequence, so the figure is the same on every run; taking every byte modulo 10
// (no dropping) would give digits 0..5 a share of 26/256 and lift it to about 70.
TEST(RandomPin, DigitsAreUniformOverAFixedByteSequence) {
    std::mt19937 engine(20261207);
    const auto source = [&engine](unsigned char* bytes, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<unsigned char>(engine());
        return true;
    };
    long counts[10] = {};
    const int pins = 25000;
    for (int i = 0; i < pins; ++i) {
        const std::wstring pin = Text(DigitPinFrom(8, source));
        ASSERT_EQ(8u, pin.size());
        for (wchar_t c : pin)
            ++counts[c - L'0'];
    }
    const double expected = pins * 8 / 10.0;
    double chiSquare = 0;
    for (long count : counts)
        chiSquare += (count - expected) * (count - expected) / expected;
    EXPECT_LT(chiSquare, 21.67) << "9 degrees of freedom, 1 % level";
}

TEST(RandomPin, TheSystemGeneratorGivesDigitsAndNoRepeats) {
    std::set<std::wstring> seen;
    int repeats = 0;
    for (int i = 0; i < 1000; ++i) {
        const std::wstring pin = Text(RandomDigitPin());
        ASSERT_EQ(kRandomPinDefaultLength, pin.size());
        ASSERT_EQ(std::wstring::npos, pin.find_first_not_of(L"0123456789"));
        repeats += seen.insert(pin).second ? 0 : 1;
    }
    // Among 1000 draws from 10^8 a repeat has a chance of 1 in 200, three of 1 in 10^8.
    EXPECT_LE(repeats, 2);
}

} // namespace
