#pragma once
// Opening one PIN envelope (CMS EnvelopedData) with the supervisor's key. The envelope comes
// from a file anyone may have written: it is only handed to the platform's decoder, within a
// size limit, and what it yields is read by ReadEnvelopeContent as hostile too.
#include "base/SecureBuffer.h"
#include "seal/EnvelopeKey.h"

#include <optional>
#include <vector>

// An envelope file is a few hundred bytes; anything beyond this is no envelope.
constexpr std::size_t kEnvelopeFileLimit = 64 * 1024;

// The content in wiped storage; nothing when the bytes are no envelope, none of its recipients
// is this key, or its decryption fails.
std::optional<SecureBytes> OpenEnvelope(const EnvelopeKey& key, const std::vector<unsigned char>& der);
