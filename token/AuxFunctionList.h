#pragma once
// The token maker's vendor extension: the auxiliary function list and the hardware
// information record. Records exchanged with the module are packed to one byte.
#include "token/DeviceType.h" // byDeviceType's codes
#include "token/Pkcs11.h"

#include <cstddef>
#include <cstdint>

struct PKI_INIT_PARAM; // pki/PkiInitParam.h

#pragma pack(push, 1)

// 76 bytes filled by E_GetDeviceInfo. Only the named fields are read; the rest belongs to the module.
struct DEVICE_INFO {
    std::uint8_t abyReserved0[2];
    std::uint8_t byDeviceType;
    std::uint8_t byReserved3;
    std::uint8_t byCosVersionMajor;
    std::uint8_t byCosVersionMinor;
    std::uint8_t abyAtr[16];
    std::uint8_t abyReserved22[20];
    std::uint8_t abyProductionTime[6]; // year in century, month, day, hour, minute, second
    std::uint8_t abySerialNumber[8];
    std::uint8_t abyReserved56[12];
    std::uint32_t ulTotalSpace; // bytes, little-endian
    std::uint8_t abyReserved72[4];
};

typedef CK_RV (*E_InitPkiToken_t)(CK_SLOT_ID slot, PKI_INIT_PARAM* param);
typedef CK_RV (*E_InitBlankToken_t)(CK_SLOT_ID slot, CK_BYTE_PTR soPin, CK_ULONG soPinLength);
typedef CK_RV (*E_GetDeviceInfo_t)(CK_SLOT_ID slot, DEVICE_INFO* info);
typedef CK_RV (*E_AuxUnused_t)(void); // entries 1 to 7: never called by the program

// A 2-byte version followed by function pointers without gaps: entry i at 2 + sizeof(void*)*i.
struct AUX_FUNCTION_LIST {
    CK_VERSION version;
    E_InitPkiToken_t E_InitPkiToken; // entry 0
    E_AuxUnused_t E_AuxEntry1;
    E_AuxUnused_t E_AuxEntry2;
    E_AuxUnused_t E_AuxEntry3;
    E_AuxUnused_t E_AuxEntry4;
    E_AuxUnused_t E_AuxEntry5;
    E_AuxUnused_t E_AuxEntry6;
    E_AuxUnused_t E_AuxEntry7;
    E_InitBlankToken_t E_InitBlankToken; // entry 8
    E_GetDeviceInfo_t E_GetDeviceInfo;   // entry 9
};

#pragma pack(pop)

typedef AUX_FUNCTION_LIST* AUX_FUNCTION_LIST_PTR;
typedef AUX_FUNCTION_LIST_PTR* AUX_FUNCTION_LIST_PTR_PTR;
typedef CK_RV (*E_GetAuxFunctionList_t)(AUX_FUNCTION_LIST_PTR_PTR list);

static_assert(sizeof(DEVICE_INFO) == 76, "DEVICE_INFO is 76 bytes");
static_assert(offsetof(DEVICE_INFO, byDeviceType) == 2, "DEVICE_INFO layout");
static_assert(offsetof(DEVICE_INFO, byCosVersionMajor) == 4, "DEVICE_INFO layout");
static_assert(offsetof(DEVICE_INFO, byCosVersionMinor) == 5, "DEVICE_INFO layout");
static_assert(offsetof(DEVICE_INFO, abyAtr) == 6, "DEVICE_INFO layout");
static_assert(offsetof(DEVICE_INFO, abyProductionTime) == 42, "DEVICE_INFO layout");
static_assert(offsetof(DEVICE_INFO, abySerialNumber) == 48, "DEVICE_INFO layout");
static_assert(offsetof(DEVICE_INFO, ulTotalSpace) == 68, "DEVICE_INFO layout");

constexpr std::size_t AuxEntryOffset(std::size_t entry) {
    return 2 + sizeof(void*) * entry;
}
static_assert(offsetof(AUX_FUNCTION_LIST, E_InitPkiToken) == AuxEntryOffset(0), "aux entry 0");
static_assert(offsetof(AUX_FUNCTION_LIST, E_InitBlankToken) == AuxEntryOffset(8), "aux entry 8");
static_assert(offsetof(AUX_FUNCTION_LIST, E_GetDeviceInfo) == AuxEntryOffset(9), "aux entry 9");
#if defined(_WIN32) && !defined(_WIN64)
// The 32-bit module interface: 4-byte pointers, 32-bit CK_ULONG and CK_SLOT_ID.
static_assert(offsetof(AUX_FUNCTION_LIST, E_InitPkiToken) == 2, "aux entry 0 at byte 2");
static_assert(offsetof(AUX_FUNCTION_LIST, E_InitBlankToken) == 34, "aux entry 8 at byte 34");
static_assert(offsetof(AUX_FUNCTION_LIST, E_GetDeviceInfo) == 38, "aux entry 9 at byte 38");
static_assert(sizeof(CK_ULONG) == 4 && sizeof(CK_SLOT_ID) == 4 && sizeof(CK_RV) == 4, "32-bit CK_ULONG");
#endif
