#pragma once
// One virtual token on the bench: its hardware data and what the two initialisations change.
#include "base/HexText.h"
#include "token/AuxFunctionList.h"
#include "standin/BenchCommand.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

struct VirtualToken {
    std::uint8_t type = DEVICE_TYPE_PKI;
    SecureBytes soPin; // empty: no PIN set (blank token)
    SecureBytes userPin;
    std::uint8_t soMax = 0;
    std::uint8_t soLeft = 0;
    std::uint8_t userMax = 0;
    std::uint8_t userLeft = 0;
    std::string label; // UTF-8, without the padding spaces
    std::array<std::uint8_t, 8> serial{};
    std::array<std::uint8_t, 16> atr{};
    std::array<std::uint8_t, 2> cos{};  // major, minor
    std::array<std::uint8_t, 6> made{}; // year in century, month, day, hour, minute, second
    std::uint32_t totalSpace = 0;
    std::uint32_t publicSize = 0;
    std::uint32_t privateSize = 0;
    unsigned misbehaviour = 0;   // TokenMisbehaviour bits; survives the initialisations
    std::uint64_t insertion = 0; // set by the bench at every plug-in: sessions belong to one
};

// The PKI initialisation page's defaults, which the default bench token carries too.
constexpr const char* kDefaultSoPin = "tamsel";
constexpr const char* kDefaultUserPin = "5820";
constexpr const char* kDefaultLabel = "Orbel";
constexpr std::uint8_t kDefaultRetries = 6;
constexpr std::uint32_t kDefaultTotalSpace = 64 * 1024;
constexpr std::uint32_t kDefaultPublicSize = 30000;
constexpr std::uint32_t kDefaultPrivateSize = 15000;

// A token for the given slot: the description's values over the defaults of its type (a blank token
// has no PINs, no label and no areas). Nothing when a retry counter exceeds its limit.
std::optional<VirtualToken> MakeToken(unsigned slot, const TokenDescription& description);

// Every byte of the record, the ones the program does not read included.
void FillDeviceInfo(const VirtualToken& token, DEVICE_INFO& info);

// Back to the blank type: no PINs, no label, no areas; the hardware data stays.
void WipeToBlank(VirtualToken& token);

// The 8 serial bytes in upper-case hexadecimal, as the token information shows them.
inline std::string SerialHex(const VirtualToken& token) {
    return HexText(token.serial.data(), token.serial.size());
}
