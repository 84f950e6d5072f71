#include "standin/VirtualToken.h"

#include <cstring>

namespace {

SecureBytes Text(const char* text) {
    return SecureBytes(text, std::strlen(text));
}

void PutLE32(std::uint8_t* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

VirtualToken Defaults(unsigned slot, std::uint8_t type) {
    VirtualToken token;
    token.type = type;
    const auto n = static_cast<std::uint8_t>(slot + 1);
    token.serial = {0x01, 0xA2, 0x12, 0x0C, 0x18, 0x00, 0x3C, n};
    token.atr = {0x3B, 0x9F, 0x95, 0x81, 0x31, 0xFE, 0x9F, 0x00, 0x65, 0x4F, 0x52, 0x42, 0x45, 0x4C, 0x02, n};
    token.cos = {1, 5};
    token.made = {12, 12, 24, 9, 30, 0};
    token.totalSpace = kDefaultTotalSpace;
    if (type != DEVICE_TYPE_BLANK) {
        token.soPin = Text(kDefaultSoPin);
        token.userPin = Text(kDefaultUserPin);
        token.soMax = token.soLeft = kDefaultRetries;
        token.userMax = token.userLeft = kDefaultRetries;
        token.label = kDefaultLabel;
        token.publicSize = kDefaultPublicSize;
        token.privateSize = kDefaultPrivateSize;
    }
    return token;
}

template <class T, class U> void Take(T& field, const std::optional<U>& value) {
    if (value)
        field = *value;
}

} // namespace

std::optional<VirtualToken> MakeToken(unsigned slot, const TokenDescription& description) {
    VirtualToken token = Defaults(slot, description.type.value_or(DEVICE_TYPE_PKI));
    Take(token.soPin, description.soPin);
    Take(token.userPin, description.userPin);
    if (description.soMax)
        token.soMax = token.soLeft = *description.soMax;
    if (description.userMax)
        token.userMax = token.userLeft = *description.userMax;
    Take(token.soLeft, description.soLeft);
    Take(token.userLeft, description.userLeft);
    Take(token.label, description.label);
    Take(token.serial, description.serial);
    Take(token.atr, description.atr);
    Take(token.cos, description.cos);
    Take(token.made, description.made);
    Take(token.totalSpace, description.totalSpace);
    Take(token.publicSize, description.publicSize);
    Take(token.privateSize, description.privateSize);
    Take(token.misbehaviour, description.misbehaviour);
    if (token.soLeft > token.soMax || token.userLeft > token.userMax)
        return std::nullopt;
    return token;
}

void FillDeviceInfo(const VirtualToken& token, DEVICE_INFO& info) {
    // The module's own bytes: a record tag, the chip's internal numbers and the area sizes.
    // They are deliberately non-zero so that a caller reading them would be noticed.
    info.abyReserved0[0] = 0x4C;
    info.abyReserved0[1] = 0x01;
    info.byDeviceType = token.type;
    info.byReserved3 = 0x5A;
    info.byCosVersionMajor = token.cos[0];
    info.byCosVersionMinor = token.cos[1];
    std::memcpy(info.abyAtr, token.atr.data(), sizeof info.abyAtr);
    for (std::size_t i = 0; i < sizeof info.abyReserved22; ++i)
        info.abyReserved22[i] = static_cast<std::uint8_t>(0xA0 + i);
    std::memcpy(info.abyProductionTime, token.made.data(), sizeof info.abyProductionTime);
    std::memcpy(info.abySerialNumber, token.serial.data(), sizeof info.abySerialNumber);
    PutLE32(info.abyReserved56, token.publicSize);
    PutLE32(info.abyReserved56 + 4, token.privateSize);
    info.abyReserved56[8] = token.soLeft;
    info.abyReserved56[9] = token.userLeft;
    info.abyReserved56[10] = 0xC3;
    info.abyReserved56[11] = 0x3C;
    PutLE32(reinterpret_cast<std::uint8_t*>(&info.ulTotalSpace), token.totalSpace);
    PutLE32(info.abyReserved72, 0xFFFFFFFFu - token.totalSpace);
}

void WipeToBlank(VirtualToken& token) {
    token.type = DEVICE_TYPE_BLANK;
    token.soPin = SecureBytes();
    token.userPin = SecureBytes();
    token.soMax = token.soLeft = token.userMax = token.userLeft = 0;
    token.label.clear();
    token.publicSize = token.privateSize = 0;
}
