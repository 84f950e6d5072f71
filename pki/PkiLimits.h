#pragma once
// The PKI initialisation's values as the page checks them, and its defaults: one set for
// every front end (the page, the command line's profile). Dialog-free.
#include "token/PinDefaults.h"

#include <cstddef>
#include <cstdint>

// The product configuration's PIN lengths, in characters of the typed text (UTF-16 units).
struct PinLengthLimits {
    unsigned long dwUserPinMin;
    unsigned long dwUserPinMax;
    unsigned long dwSoPinMin;
    unsigned long dwSoPinMax;
};
inline constexpr PinLengthLimits kPinLengths{4, 32, 4, 32};

// Both new PINs' lengths (characters) within the configuration's limits; refused lengths are
// the counted failure IDS_PIN_LENGTH.
inline bool ArePinLengthsValid(std::size_t soPinChars, std::size_t userPinChars) {
    return soPinChars >= kPinLengths.dwSoPinMin && soPinChars <= kPinLengths.dwSoPinMax &&
           userPinChars >= kPinLengths.dwUserPinMin && userPinChars <= kPinLengths.dwUserPinMax;
}

// The label's characters as typed; its UTF-8 bytes are held to the same 32 (PKI_LABEL_MAX_BYTES),
// so 32 ASCII characters fit and eleven Chinese ones (33 bytes) do not.
inline constexpr int kLabelMaxChars = 32;
inline constexpr unsigned long kAreaSizeMax = 65535;
inline constexpr std::uint8_t kRetryMin = 1;
inline constexpr std::uint8_t kRetryMax = 255;

inline constexpr const wchar_t* kDefaultLabel = L"Orbel";
inline constexpr std::uint8_t kDefaultMaxRetry = 6; // both PINs
inline constexpr std::uint32_t kDefaultPublicSize = 30000;
inline constexpr std::uint32_t kDefaultPrivateSize = 15000;
