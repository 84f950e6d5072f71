#pragma once
// The two initialisations as a token answers them, on one virtual token.
#include "standin/PinCheck.h"
#include "token/PkiInitParam.h"
#include "standin/VirtualToken.h"

#include <array>
#include <optional>

constexpr std::size_t kPinScanBytes = 64; // how far a PIN's terminating zero is looked for

// Checks the SO PIN of a PKI token and wipes it. A blank token needs no PIN.
CK_RV InitBlankToken(VirtualToken& token, const CK_BYTE* soPin, CK_ULONG soPinLength);

// What E_InitPkiToken received, read through the record's pointers with bounded reads.
struct PkiRecordCopy {
    PKI_INIT_PARAM fields{};
    std::array<std::uint8_t, sizeof(PKI_INIT_PARAM)> bytes{};
    std::optional<std::array<std::uint8_t, PKI_LABEL_FIELD_SIZE>> labelField; // none: null pointer
    std::optional<SecureBytes> soPin; // none: null pointer, or no zero within kPinScanBytes
    std::optional<SecureBytes> userPin;
};

PkiRecordCopy CopyPkiRecord(const PKI_INIT_PARAM& param);

// Makes the token a PKI token with the record's PINs, retry limits, label and areas.
CK_RV InitPkiToken(VirtualToken& token, const PkiRecordCopy& record);
