#include "standin/TokenStateLine.h"

#include <cstring>

namespace {

bool SameBytes(const SecureBytes& a, const SecureBytes& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0;
}

void Put(SecretLine& line, const char* text) {
    line.insert(line.end(), text, text + std::strlen(text));
}

void PutNumber(SecretLine& line, const char* key, unsigned long value) {
    Put(line, key);
    Put(line, std::to_string(value).c_str());
}

void PutHex(SecretLine& line, const char* key, const unsigned char* bytes, std::size_t size) {
    static const char digits[] = "0123456789ABCDEF";
    Put(line, key);
    for (std::size_t i = 0; i < size; ++i) {
        line.push_back(digits[bytes[i] >> 4]);
        line.push_back(digits[bytes[i] & 0x0F]);
    }
}

} // namespace

TokenState StateOf(const VirtualToken& token) {
    TokenState state;
    state.type = token.type;
    state.soPin = token.soPin;
    state.userPin = token.userPin;
    state.soMax = token.soMax;
    state.soLeft = token.soLeft;
    state.userMax = token.userMax;
    state.userLeft = token.userLeft;
    state.label = token.label;
    state.publicSize = token.publicSize;
    state.privateSize = token.privateSize;
    return state;
}

void ApplyState(VirtualToken& token, const TokenState& state) {
    token.type = state.type;
    token.soPin = state.soPin;
    token.userPin = state.userPin;
    token.soMax = state.soMax;
    token.soLeft = state.soLeft;
    token.userMax = state.userMax;
    token.userLeft = state.userLeft;
    token.label = state.label;
    token.publicSize = state.publicSize;
    token.privateSize = state.privateSize;
}

bool SameState(const TokenState& a, const TokenState& b) {
    return a.type == b.type && SameBytes(a.soPin, b.soPin) && SameBytes(a.userPin, b.userPin) &&
           a.soMax == b.soMax && a.soLeft == b.soLeft && a.userMax == b.userMax && a.userLeft == b.userLeft &&
           a.label == b.label && a.publicSize == b.publicSize && a.privateSize == b.privateSize;
}

SecretLine StateLine(unsigned slot, const VirtualToken& token) {
    SecretLine line;
    PutNumber(line, "state ", slot);
    PutHex(line, " serial=", token.serial.data(), token.serial.size());
    PutNumber(line, " type=", token.type);
    PutHex(line, " so=", token.soPin.data(), token.soPin.size());
    PutHex(line, " user=", token.userPin.data(), token.userPin.size());
    PutNumber(line, " so-max=", token.soMax);
    PutNumber(line, " so-left=", token.soLeft);
    PutNumber(line, " user-max=", token.userMax);
    PutNumber(line, " user-left=", token.userLeft);
    PutHex(line, " label=", reinterpret_cast<const unsigned char*>(token.label.data()), token.label.size());
    PutNumber(line, " public=", token.publicSize);
    PutNumber(line, " private=", token.privateSize);
    line.push_back('\n');
    return line;
}
