#include "ledger/LedgerHash.h"

#include "base/HexText.h"

#include <cstdint>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <bcrypt.h>
#else
#include <openssl/evp.h>
#endif

namespace {

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

const Sha256Provider& Provider() {
    static const Sha256Provider provider;
    return provider;
}
#endif

} // namespace

#ifdef _WIN32
// One hash computation; Windows 7 wants the object's memory from the caller.
struct Sha256::State {
    std::vector<unsigned char> object = std::vector<unsigned char>(Provider().ObjectSize());
    BCRYPT_HASH_HANDLE handle = nullptr;

    State() {
        if (Provider().get() == nullptr || object.empty() ||
            BCryptCreateHash(Provider().get(), &handle, object.data(), static_cast<ULONG>(object.size()),
                             nullptr, 0, 0) != 0)
            handle = nullptr;
    }
    explicit State(const State& other) {
        if (other.handle == nullptr || object.empty() ||
            BCryptDuplicateHash(other.handle, &handle, object.data(), static_cast<ULONG>(object.size()), 0) !=
                0)
            handle = nullptr;
    }
    ~State() { Drop(); }
    State& operator=(const State&) = delete;
    void Drop() {
        if (handle != nullptr)
            BCryptDestroyHash(handle);
        handle = nullptr;
    }
};

void Sha256::Add(std::string_view piece) {
    State& state = Started();
    auto* bytes = reinterpret_cast<PUCHAR>(const_cast<char*>(piece.data()));
    // BCrypt takes a ULONG length: a longer piece goes in parts.
    while (state.handle != nullptr && !piece.empty()) {
        const ULONG size = piece.size() > (1u << 30) ? (1u << 30) : static_cast<ULONG>(piece.size());
        if (BCryptHashData(state.handle, bytes, size, 0) != 0)
            state.Drop();
        bytes += size;
        piece.remove_prefix(size);
    }
}

std::string Sha256::FinishHex() {
    State& state = Started();
    unsigned char digest[32];
    const bool done =
        state.handle != nullptr && BCryptFinishHash(state.handle, digest, sizeof digest, 0) == 0;
    state.Drop();
    return done ? HexText(digest, sizeof digest, HexCase::kLower) : std::string();
}
#else
// OpenSSL's digest context; a copy goes on from the same point.
struct Sha256::State {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context{EVP_MD_CTX_new(), &EVP_MD_CTX_free};
    bool ok = false;
    State() { ok = context && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) == 1; }
    explicit State(const State& other) {
        ok = other.ok && context && EVP_MD_CTX_copy_ex(context.get(), other.context.get()) == 1;
    }
    State& operator=(const State&) = delete;
};

void Sha256::Add(std::string_view piece) {
    State& state = Started();
    if (state.ok && EVP_DigestUpdate(state.context.get(), piece.data(), piece.size()) != 1)
        state.ok = false;
}

std::string Sha256::FinishHex() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    State& state = Started();
    const bool done = state.ok && EVP_DigestFinal_ex(state.context.get(), digest, &size) == 1 && size == 32;
    state.ok = false;
    return done ? HexText(digest, size, HexCase::kLower) : std::string();
}
#endif

// Nothing of the platform's until the first piece: a digest made at start (the ledger's chain)
// does not load the hashing library before the program's window shows.
Sha256::Sha256() = default;
Sha256::~Sha256() = default;
Sha256::Sha256(const Sha256& other)
    : state_(other.state_ ? std::make_unique<State>(*other.state_) : nullptr) {}
Sha256& Sha256::operator=(const Sha256& other) {
    if (this != &other)
        state_ = other.state_ ? std::make_unique<State>(*other.state_) : nullptr;
    return *this;
}

Sha256::State& Sha256::Started() {
    if (!state_)
        state_ = std::make_unique<State>();
    return *state_;
}

std::string Sha256Hex(std::initializer_list<std::string_view> pieces) {
    Sha256 hash;
    for (std::string_view piece : pieces)
        hash.Add(piece);
    return hash.FinishHex();
}
