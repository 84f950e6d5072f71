#pragma once
// A user PIN of the token's own: decimal digits drawn from the system's generator, so no
// operator ever types or sees it before it is sealed for the supervisor.
#include "base/SecureBuffer.h"

#include <cstddef>
#include <functional>
#include <optional>

constexpr std::size_t kRandomPinMinLength = 6;
constexpr std::size_t kRandomPinDefaultLength = 8;
constexpr std::size_t kRandomPinMaxLength = 32;

// Fills `size` bytes at `bytes`; false when the generator failed.
using RandomByteSource = std::function<bool(unsigned char* bytes, std::size_t size)>;

// The system's generator: BCryptGenRandom on Windows, getrandom() elsewhere.
bool SystemRandomBytes(unsigned char* bytes, std::size_t size);

// `length` digits (kRandomPinMinLength..kRandomPinMaxLength), each uniform: a byte of 250 or
// more is dropped, so every digit has exactly 25 byte values. Nothing when the length is out of
// range or the source fails (or yields nothing but dropped bytes for far too long).
std::optional<SecretText> DigitPinFrom(std::size_t length, const RandomByteSource& source);

inline std::optional<SecretText> RandomDigitPin(std::size_t length = kRandomPinDefaultLength) {
    return DigitPinFrom(length, SystemRandomBytes);
}
