#include "token/DeviceType.h"

namespace {

struct KnownType {
    std::uint8_t code;
    DeviceType type;
    const char* word;
};
constexpr KnownType kKnownTypes[] = {
    {DEVICE_TYPE_PKI, DeviceType::kPki, "pki"},
    {DEVICE_TYPE_ENCRYPTION_LOCK, DeviceType::kLock, "lock"},
    {DEVICE_TYPE_BLANK, DeviceType::kBlank, "blank"},
};

const KnownType* Known(std::uint8_t code) {
    for (const KnownType& known : kKnownTypes)
        if (known.code == code)
            return &known;
    return nullptr;
}

} // namespace

DeviceType DeviceTypeOf(std::uint8_t code) {
    const KnownType* known = Known(code);
    return known != nullptr ? known->type : DeviceType::kUnknown;
}

const char* DeviceTypeWord(std::uint8_t code) {
    const KnownType* known = Known(code);
    return known != nullptr ? known->word : nullptr;
}

bool DeviceTypeCodeOfWord(std::string_view word, std::uint8_t& code) {
    for (const KnownType& known : kKnownTypes)
        if (word == known.word) {
            code = known.code;
            return true;
        }
    return false;
}
