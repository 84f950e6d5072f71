#pragma once
// The supervisor's private key that opens the PIN envelopes: from a key file (PEM or PKCS#12)
// or, on Windows, the current user's certificate store, where a key on the supervisor's own
// token answers through its provider. The key stays in the platform's own objects, freed with
// the last copy of the handle.
#include "base/SecureBuffer.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

// Key files are small: a PEM key or a PKCS#12 file with its chain stays far below this.
constexpr std::size_t kEnvelopeKeyFileLimit = 64 * 1024;

class EnvelopeKey {
  public:
    struct Held; // the platform's key objects (OpenSSL's key and certificate, a CryptoAPI store)
    explicit EnvelopeKey(std::shared_ptr<const Held> held) : m_held(std::move(held)) {}
    const Held& held() const { return *m_held; }

  private:
    std::shared_ptr<const Held> m_held;
};

struct EnvelopeKeyLoad {
    std::optional<EnvelopeKey> key;
    std::string problem;         // UTF-8, Simplified Chinese, when there is no key
    bool bWrongPassword = false; // the file is protected and the password did not open it
};

// A PEM private key ("PRIVATE KEY", "ENCRYPTED PRIVATE KEY", "RSA PRIVATE KEY") or a PKCS#12
// file (.p12/.pfx); `password` may be empty.
EnvelopeKeyLoad LoadEnvelopeKey(const std::filesystem::path& file, const SecretText& password);

#ifdef _WIN32
// The current user's "MY" store: every certificate there with a private key may open.
EnvelopeKeyLoad UserStoreEnvelopeKey();
#endif
