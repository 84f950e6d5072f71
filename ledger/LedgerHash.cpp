#include "ledger/LedgerHash.h"

#include <cstdint>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <bcrypt.h>
#else
#include <nettle/sha2.h>
#endif

namespace {

std::string Hex(const unsigned char* digest, std::size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        text += kDigits[digest[i] >> 4];
        text += kDigits[digest[i] & 15];
    }
    return text;
}

#ifdef _WIN32
// The algorithm provider, opened once for the process.
class Sha256Provider {
  public:
    Sha256Provider() {
        if (BCryptOpenAlgorithmProvider(&handle_, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0)
            handle_ = nullptr;
        ULONG got = 0;
        if (handle_ != nullptr &&
            BCryptGetProperty(handle_, BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&objectSize_),
                              sizeof objectSize_, &got, 0) != 0)
            objectSize_ = 0;
    }
    ~Sha256Provider() {
        if (handle_ != nullptr)
            BCryptCloseAlgorithmProvider(handle_, 0);
    }
    Sha256Provider(const Sha256Provider&) = delete;
    Sha256Provider& operator=(const Sha256Provider&) = delete;

    BCRYPT_ALG_HANDLE get() const { return handle_; }
    DWORD ObjectSize() const { return objectSize_; }

  private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
    DWORD objectSize_ = 0;
};

// One hash computation; Windows 7 wants the object's memory from the caller.
class Sha256Hash {
  public:
    explicit Sha256Hash(const Sha256Provider& provider) : object_(provider.ObjectSize()) {
        if (provider.get() == nullptr || object_.empty() ||
            BCryptCreateHash(provider.get(), &handle_, object_.data(), static_cast<ULONG>(object_.size()),
                             nullptr, 0, 0) != 0)
            handle_ = nullptr;
    }
    ~Sha256Hash() {
        if (handle_ != nullptr)
            BCryptDestroyHash(handle_);
    }
    Sha256Hash(const Sha256Hash&) = delete;
    Sha256Hash& operator=(const Sha256Hash&) = delete;

    bool Add(std::string_view piece) {
        auto* bytes = reinterpret_cast<PUCHAR>(const_cast<char*>(piece.data()));
        return handle_ != nullptr && BCryptHashData(handle_, bytes, static_cast<ULONG>(piece.size()), 0) == 0;
    }
    bool Finish(unsigned char (&digest)[32]) {
        return handle_ != nullptr && BCryptFinishHash(handle_, digest, sizeof digest, 0) == 0;
    }

  private:
    std::vector<unsigned char> object_;
    BCRYPT_HASH_HANDLE handle_ = nullptr;
};
#endif

} // namespace

std::string Sha256Hex(std::initializer_list<std::string_view> pieces) {
    unsigned char digest[32];
#ifdef _WIN32
    static const Sha256Provider provider;
    Sha256Hash hash(provider);
    for (std::string_view piece : pieces)
        if (!hash.Add(piece))
            return {};
    if (!hash.Finish(digest))
        return {};
#else
    sha256_ctx context;
    sha256_init(&context);
    for (std::string_view piece : pieces)
        sha256_update(&context, piece.size(), reinterpret_cast<const std::uint8_t*>(piece.data()));
    sha256_digest(&context, sizeof digest, digest);
#endif
    return Hex(digest, sizeof digest);
}
