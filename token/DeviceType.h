#pragma once
// The hardware record's type codes (DEVICE_INFO::byDeviceType) and the words the ledger and
// the stand-in's bench name them by. Any other code is unrecognised.
#include <cstdint>
#include <string_view>

enum : std::uint8_t {
    DEVICE_TYPE_PKI = 1,
    DEVICE_TYPE_ENCRYPTION_LOCK = 2,
    DEVICE_TYPE_BLANK = 4,
};

enum class DeviceType { kPki, kLock, kBlank, kUnknown };

DeviceType DeviceTypeOf(std::uint8_t code);
// pki, lock or blank; nullptr for an unrecognised code.
const char* DeviceTypeWord(std::uint8_t code);
// The code of pki, lock or blank; false for any other word.
bool DeviceTypeCodeOfWord(std::string_view word, std::uint8_t& code);
