#pragma once
// How a token checks a presented PIN against its stored one, for the wipe and for C_Login
// alike: length first, then the lock, then the bytes; a wrong PIN uses up one try, a right
// one gives every try back.
#include "token/Pkcs11.h"
#include "base/SecureBuffer.h"

#include <cstddef>
#include <cstdint>

constexpr std::size_t kPinMinBytes = 4;
constexpr std::size_t kPinMaxBytes = 32;

bool PinLengthInRange(std::size_t length);

// CKR_PIN_LEN_RANGE, CKR_ARGUMENTS_BAD (no bytes), CKR_PIN_LOCKED (no try left, nothing
// compared), CKR_PIN_INCORRECT (one try less) or CKR_OK (tries back to `max`).
CK_RV CheckPin(const SecureBytes& stored, std::uint8_t& left, std::uint8_t max, const CK_BYTE* pin,
               CK_ULONG length);
