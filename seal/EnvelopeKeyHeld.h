#pragma once
// What an EnvelopeKey holds on each platform; seen only by the loading and the opening.
#include "seal/EnvelopeKey.h"

#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <wincrypt.h>

struct EnvelopeKey::Held {
    // A store whose certificates carry their private keys: an imported PKCS#12 file (its keys
    // not persisted) or the user's own store.
    HCERTSTORE store = nullptr;
    // Or a PEM key imported as the key exchange key of a provider that lives in memory only.
    HCRYPTPROV provider = 0;
    Held() = default;
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held() {
        if (store != nullptr)
            CertCloseStore(store, 0);
        if (provider != 0)
            CryptReleaseContext(provider, 0);
    }
};
#else
#include <openssl/evp.h>
#include <openssl/x509.h>

struct EnvelopeKey::Held {
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key{nullptr, EVP_PKEY_free};
    // A PKCS#12 file's certificate names the recipient to decrypt for; a PEM key has none.
    std::unique_ptr<X509, decltype(&X509_free)> certificate{nullptr, X509_free};
};
#endif

using KeyFileBytes = std::vector<char, WipingAllocator<char>>;

// The key in a key file's bytes, on the platform's own terms.
EnvelopeKeyLoad KeyFromFileBytes(const KeyFileBytes& bytes, const SecretText& password);

// Whether the bytes are a PEM file: they hold a "-----BEGIN " line.
bool IsPemText(const KeyFileBytes& bytes);
bool PemHolds(const KeyFileBytes& bytes, const char* text);
