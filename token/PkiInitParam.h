#pragma once
// The record E_InitPkiToken takes. In the 32-bit module interface it is 52 bytes, packed,
// little-endian, with 4-byte pointers. A native 64-bit build widens the three pointers to
// 8 bytes (64 bytes in all); the native stand-in module reads that widened form.
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct PKI_INIT_PARAM {
    std::uint8_t byFixed0; // always 1
    std::uint8_t byFixed1; // always 1
    std::uint8_t* pLabel;  // 33-byte label field: UTF-8, spaces to byte 31, zero at 32
    std::uint32_t ulReserved6;
    std::uint8_t* pSoPin;   // NUL-terminated
    std::uint8_t* pUserPin; // NUL-terminated
    std::uint8_t bySoPinMaxRetry;
    std::uint8_t byUserPinMaxRetry;
    std::uint8_t byReserved20;
    std::uint8_t byReserved21;
    std::uint32_t ulPublicSize;
    std::uint32_t ulPrivateSize;
    std::uint32_t ulReserved30;
    std::uint8_t byReserved34;
    std::uint32_t ulReserved35;
    std::uint32_t ulFixedVersion; // always PKI_INIT_FIXED_VERSION: bytes 01 00 02 00
    std::uint8_t abyReserved43[9];
};
#pragma pack(pop)

constexpr std::uint32_t PKI_INIT_FIXED_VERSION = 0x00020001;
constexpr std::size_t PKI_LABEL_FIELD_SIZE = 33; // 32 bytes of label and spaces, then a zero
constexpr std::size_t PKI_LABEL_MAX_BYTES = 32;  // the label may fill the field; the zero ends it

// Offsets in the form this build hands to the module (widened pointers natively).
constexpr std::size_t kPtr = sizeof(void*);
static_assert(offsetof(PKI_INIT_PARAM, pLabel) == 2, "PKI_INIT_PARAM layout");
static_assert(offsetof(PKI_INIT_PARAM, ulReserved6) == 2 + kPtr, "PKI_INIT_PARAM layout");
static_assert(offsetof(PKI_INIT_PARAM, pSoPin) == 6 + kPtr, "PKI_INIT_PARAM layout");
static_assert(offsetof(PKI_INIT_PARAM, bySoPinMaxRetry) == 6 + 3 * kPtr, "PKI_INIT_PARAM layout");
static_assert(offsetof(PKI_INIT_PARAM, ulPublicSize) == 10 + 3 * kPtr, "PKI_INIT_PARAM layout");
static_assert(offsetof(PKI_INIT_PARAM, ulFixedVersion) == 27 + 3 * kPtr, "PKI_INIT_PARAM layout");
static_assert(sizeof(PKI_INIT_PARAM) == 40 + 3 * kPtr, "PKI_INIT_PARAM size");

// 52 bytes with 4-byte pointers, 64 with 8-byte ones (the 64-bit builds, native and Windows).
static_assert(sizeof(void*) != 4 || sizeof(PKI_INIT_PARAM) == 52,
              "PKI_INIT_PARAM is 52 bytes with 4-byte pointers");
static_assert(sizeof(void*) != 8 || sizeof(PKI_INIT_PARAM) == 64,
              "PKI_INIT_PARAM is 64 bytes with 8-byte pointers");

#if defined(_WIN32) && !defined(_WIN64)
// The record exactly as the 32-bit module receives it.
static_assert(sizeof(PKI_INIT_PARAM) == 52, "PKI_INIT_PARAM is 52 bytes");
static_assert(offsetof(PKI_INIT_PARAM, pLabel) == 0x02, "pLabel at 0x02");
static_assert(offsetof(PKI_INIT_PARAM, ulReserved6) == 0x06, "reserved at 0x06");
static_assert(offsetof(PKI_INIT_PARAM, pSoPin) == 0x0A, "pSoPin at 0x0A");
static_assert(offsetof(PKI_INIT_PARAM, pUserPin) == 0x0E, "pUserPin at 0x0E");
static_assert(offsetof(PKI_INIT_PARAM, bySoPinMaxRetry) == 0x12, "bySoPinMaxRetry at 0x12");
static_assert(offsetof(PKI_INIT_PARAM, byUserPinMaxRetry) == 0x13, "byUserPinMaxRetry at 0x13");
static_assert(offsetof(PKI_INIT_PARAM, byReserved20) == 0x14, "reserved at 0x14");
static_assert(offsetof(PKI_INIT_PARAM, byReserved21) == 0x15, "reserved at 0x15");
static_assert(offsetof(PKI_INIT_PARAM, ulPublicSize) == 0x16, "ulPublicSize at 0x16");
static_assert(offsetof(PKI_INIT_PARAM, ulPrivateSize) == 0x1A, "ulPrivateSize at 0x1A");
static_assert(offsetof(PKI_INIT_PARAM, ulReserved30) == 0x1E, "reserved at 0x1E");
static_assert(offsetof(PKI_INIT_PARAM, byReserved34) == 0x22, "reserved at 0x22");
static_assert(offsetof(PKI_INIT_PARAM, ulReserved35) == 0x23, "reserved at 0x23");
static_assert(offsetof(PKI_INIT_PARAM, ulFixedVersion) == 0x27, "fixed value at 0x27");
static_assert(offsetof(PKI_INIT_PARAM, abyReserved43) == 0x2B, "reserved at 0x2B");
#endif
