#include "standin/PinCheck.h"

namespace {

// Compares without stopping at the first difference, as a card does.
bool SamePin(const SecureBytes& stored, const CK_BYTE* pin, std::size_t length) {
    unsigned char difference = stored.size() == length ? 0 : 1;
    for (std::size_t i = 0; i < length; ++i)
        difference |= static_cast<unsigned char>(pin[i] ^ (i < stored.size() ? stored.data()[i] : 0));
    return difference == 0;
}

} // namespace

bool PinLengthInRange(std::size_t length) {
    return length >= kPinMinBytes && length <= kPinMaxBytes;
}

CK_RV CheckPin(const SecureBytes& stored, std::uint8_t& left, std::uint8_t max, const CK_BYTE* pin,
               CK_ULONG length) {
    if (!PinLengthInRange(length))
        return CKR_PIN_LEN_RANGE;
    if (pin == nullptr)
        return CKR_ARGUMENTS_BAD;
    if (left == 0)
        return CKR_PIN_LOCKED;
    if (!SamePin(stored, pin, length)) {
        --left;
        return CKR_PIN_INCORRECT;
    }
    left = max;
    return CKR_OK;
}
