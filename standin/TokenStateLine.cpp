#include "standin/TokenStateLine.h"

#include "base/HexText.h"

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
    Put(line, key);
    AppendHex(line, bytes, size);
}

// Both ways: a token and its state name the fields alike.
template <class To, class From> void CopyState(To& to, const From& from) {
    to.type = from.type;
    to.soPin = from.soPin;
    to.userPin = from.userPin;
    to.soMax = from.soMax;
    to.soLeft = from.soLeft;
    to.userMax = from.userMax;
    to.userLeft = from.userLeft;
    to.label = from.label;
    to.publicSize = from.publicSize;
    to.privateSize = from.privateSize;
}

} // namespace

TokenState StateOf(const VirtualToken& token) {
    TokenState state;
    CopyState(state, token);
    return state;
}

void ApplyState(VirtualToken& token, const TokenState& state) {
    CopyState(token, state);
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
