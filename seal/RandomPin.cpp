#include "seal/RandomPin.h"

#include <vector>

#ifdef _WIN32
// clang-format off
#include <windows.h>
#include <bcrypt.h>
// clang-format on
#else
#include <cerrno>
#include <sys/random.h>
#endif

bool SystemRandomBytes(unsigned char* bytes, std::size_t size) {
#ifdef _WIN32
    while (size > 0) {
        const ULONG chunk = size > (1u << 20) ? (1u << 20) : static_cast<ULONG>(size);
        if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, bytes, chunk, BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
            return false;
        bytes += chunk;
        size -= chunk;
    }
    return true;
#else
    // getrandom() may return fewer bytes than asked, or be interrupted by a signal.
    while (size > 0) {
        const ssize_t got = getrandom(bytes, size, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
#endif
}

std::optional<SecretText> DigitPinFrom(std::size_t length, const RandomByteSource& source) {
    if (length < kRandomPinMinLength || length > kRandomPinMaxLength)
        return std::nullopt;
    // Both buffers are wiped when released: the bytes are the PIN before it is a PIN.
    std::vector<wchar_t, WipingAllocator<wchar_t>> digits;
    digits.reserve(length + 1);
    std::vector<unsigned char, WipingAllocator<unsigned char>> block(kRandomPinMaxLength * 2);
    // Each byte is dropped with probability 6/256: a source that keeps this up for 64 blocks
    // is broken, not unlucky.
    for (int blocks = 0; digits.size() < length; ++blocks) {
        if (blocks == 64 || !source(block.data(), block.size()))
            return std::nullopt;
        for (unsigned char byte : block) {
            if (byte < 250 && digits.size() < length)
                digits.push_back(static_cast<wchar_t>(L'0' + byte % 10));
        }
    }
    digits.push_back(L'\0');
    return SecretText(digits.data());
}
