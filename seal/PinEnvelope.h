#pragma once
// What is sealed for a token with a random user PIN, and the sealing: a CMS EnvelopedData
// (AES-256-CBC, the content key transported to the supervisor's RSA key) made by the
// platform's own cryptography, OpenSSL natively and CryptoAPI on Windows.
#include "base/SecureBuffer.h"
#include "seal/SealCertificate.h"

#include <optional>
#include <string>
#include <vector>

// Whatever a decryption yields is read only up to this size: seven short lines.
constexpr std::size_t kEnvelopeContentLimit = 16 * 1024;

struct EnvelopeFields {
    std::string serial, label, holder, time, station, operatorName; // UTF-8
    SecretText userPin;
};

// UTF-8 lines "serial=", "label=", "holder=", "user_pin=", "time=", "station=", "operator=",
// each ended by "\n". A value's line feed, carriage return, backslash and zero byte are written
// as \n, \r, \\ and \0, so no value can add or cut a line.
SecureBytes EnvelopeContent(const EnvelopeFields& fields);

// The reverse, for anything an opened envelope holds: valid UTF-8 within the limit, only known
// keys each at most once, every line ended, only known escapes, a non-empty user_pin.
std::optional<EnvelopeFields> ReadEnvelopeContent(const SecureBytes& content);

struct SealedEnvelope {
    std::vector<unsigned char> der; // ContentInfo(EnvelopedData); empty when sealing failed
    std::string problem;            // UTF-8 Simplified Chinese when sealing failed
};

SealedEnvelope SealEnvelope(const SealCertificate& certificate, const SecureBytes& content);
