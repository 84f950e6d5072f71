#include "seal/PinEnvelope.h"

#include "base/Language.h"
#include "base/ShownText.h"
#include "base/Utf8.h"

#include <cstdio>
#include <cstring>
#include <memory>

#ifdef _WIN32
// clang-format off
#include <windows.h>
#include <wincrypt.h>
// clang-format on
#else
#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#endif

namespace {

using WipedBytes = std::vector<unsigned char, WipingAllocator<unsigned char>>;

// The keys in the order they are written.
const char* const kKeys[] = {"serial", "label", "holder", "user_pin", "time", "station", "operator"};
constexpr std::size_t kKeyCount = 7;
constexpr std::size_t kPinIndex = 3;

std::size_t KeyIndex(const unsigned char* key, std::size_t size) {
    std::size_t i = 0;
    while (i < kKeyCount && (std::strlen(kKeys[i]) != size || std::memcmp(kKeys[i], key, size) != 0))
        ++i;
    return i;
}

void AppendLine(WipedBytes& out, const char* key, const unsigned char* value, std::size_t size) {
    out.insert(out.end(), key, key + std::strlen(key));
    out.push_back('=');
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char c = value[i];
        const char escaped = c == '\n' ? 'n' : c == '\r' ? 'r' : c == '\\' ? '\\' : c == 0 ? '0' : 0;
        if (escaped != 0) {
            out.push_back('\\');
            out.push_back(static_cast<unsigned char>(escaped));
        } else {
            out.push_back(c);
        }
    }
    out.push_back('\n');
}

void AppendLine(WipedBytes& out, const char* key, const std::string& value) {
    AppendLine(out, key, reinterpret_cast<const unsigned char*>(value.data()), value.size());
}

// The value of one line with its escapes undone; false on a stray backslash or carriage return.
bool Unescape(const unsigned char* value, std::size_t size, WipedBytes& out) {
    out.clear();
    for (std::size_t i = 0; i < size; ++i) {
        if (value[i] == '\r' || value[i] == 0)
            return false;
        if (value[i] != '\\') {
            out.push_back(value[i]);
            continue;
        }
        if (++i == size)
            return false;
        const unsigned char c = value[i];
        if (c != 'n' && c != 'r' && c != '\\' && c != '0')
            return false;
        out.push_back(c == 'n' ? '\n' : c == 'r' ? '\r' : c == '0' ? 0 : '\\');
    }
    return true;
}

} // namespace

SecureBytes EnvelopeContent(const EnvelopeFields& fields) {
    WipedBytes out;
    out.reserve(512);
    AppendLine(out, kKeys[0], fields.serial);
    AppendLine(out, kKeys[1], fields.label);
    AppendLine(out, kKeys[2], fields.holder);
    const SecureBytes pin = SecretToUtf8(fields.userPin);
    AppendLine(out, kKeys[kPinIndex], pin.data(), pin.size());
    AppendLine(out, kKeys[4], fields.time);
    AppendLine(out, kKeys[5], fields.station);
    AppendLine(out, kKeys[6], fields.operatorName);
    return SecureBytes(out.data(), out.size());
}

std::optional<EnvelopeFields> ReadEnvelopeContent(const SecureBytes& content) {
    const unsigned char* bytes = content.data();
    const std::size_t size = content.size();
    if (size == 0 || size > kEnvelopeContentLimit || bytes[size - 1] != '\n' ||
        !IsValidUtf8(reinterpret_cast<const char*>(bytes), size))
        return std::nullopt;
    EnvelopeFields fields;
    std::string* const texts[] = {&fields.serial, &fields.label,   &fields.holder,      nullptr,
                                  &fields.time,   &fields.station, &fields.operatorName};
    bool seen[kKeyCount] = {};
    WipedBytes value;
    for (std::size_t start = 0; start < size;) {
        const unsigned char* line = bytes + start;
        const auto* end = static_cast<const unsigned char*>(std::memchr(line, '\n', size - start));
        const auto* equals = static_cast<const unsigned char*>(std::memchr(line, '=', end - line));
        // The key is matched where it lies: a malformed line holding the PIN is never copied.
        const std::size_t key = equals ? KeyIndex(line, equals - line) : kKeyCount;
        if (key == kKeyCount || seen[key] || !Unescape(equals + 1, end - equals - 1, value))
            return std::nullopt;
        seen[key] = true;
        start = static_cast<std::size_t>(end - bytes) + 1;
        if (texts[key] != nullptr) {
            texts[key]->assign(value.begin(), value.end());
            continue;
        }
        // The PIN is taken whole: a zero character would cut it short.
        if (value.empty() || std::memchr(value.data(), 0, value.size()) != nullptr)
            return std::nullopt;
        fields.userPin = Utf8ToSecret(reinterpret_cast<const char*>(value.data()), value.size());
    }
    if (!seen[kPinIndex])
        return std::nullopt;
    return fields;
}

#ifdef _WIN32
namespace {
struct CertContextFree {
    void operator()(const CERT_CONTEXT* context) const { CertFreeCertificateContext(context); }
};
} // namespace

SealedEnvelope SealEnvelope(const SealCertificate& certificate, const SecureBytes& content) {
    std::unique_ptr<const CERT_CONTEXT, CertContextFree> recipient(
        CertCreateCertificateContext(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, certificate.der.data(),
                                     static_cast<DWORD>(certificate.der.size())));
    if (!recipient)
        return SealedEnvelope{{}, Localized("证书无法读取", "the certificate cannot be read")};
    CRYPT_ENCRYPT_MESSAGE_PARA para{};
    para.cbSize = sizeof para;
    para.dwMsgEncodingType = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;
    para.hCryptProv = 0;
    para.ContentEncryptionAlgorithm.pszObjId = const_cast<char*>(szOID_NIST_AES256_CBC);
    PCCERT_CONTEXT recipients[] = {recipient.get()};
    DWORD size = 0;
    SealedEnvelope sealed;
    if (CryptEncryptMessage(&para, 1, recipients, content.data(), static_cast<DWORD>(content.size()), nullptr,
                            &size)) {
        sealed.der.resize(size);
        if (CryptEncryptMessage(&para, 1, recipients, content.data(), static_cast<DWORD>(content.size()),
                                sealed.der.data(), &size)) {
            sealed.der.resize(size);
            return sealed;
        }
    }
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(GetLastError()));
    return SealedEnvelope{{},
                          std::string(Localized("加密封装失败（错误 ", "sealing failed (error ")) + code +
                              Localized("）", ")")};
}
#else
namespace {
struct OpenSslFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
    void operator()(X509* certificate) const { X509_free(certificate); }
    void operator()(STACK_OF(X509) * certificates) const { sk_X509_pop_free(certificates, X509_free); }
    void operator()(CMS_ContentInfo* cms) const { CMS_ContentInfo_free(cms); }
};

SealedEnvelope Failed(const char* problem) {
    ERR_clear_error(); // nothing left for the next OpenSSL caller to trip on
    return SealedEnvelope{{}, problem};
}
} // namespace

SealedEnvelope SealEnvelope(const SealCertificate& certificate, const SecureBytes& content) {
    const unsigned char* next = certificate.der.data();
    std::unique_ptr<X509, OpenSslFree> recipient(
        d2i_X509(nullptr, &next, static_cast<long>(certificate.der.size())));
    std::unique_ptr<STACK_OF(X509), OpenSslFree> recipients(sk_X509_new_null());
    if (!recipient || !recipients || !sk_X509_push(recipients.get(), recipient.get()))
        return Failed(Localized("证书无法读取", "the certificate cannot be read"));
    recipient.release(); // the stack owns it now
    // A read-only view of the content: no copy of the plaintext outside wiped storage.
    std::unique_ptr<BIO, OpenSslFree> in(BIO_new_mem_buf(content.data(), static_cast<int>(content.size())));
    std::unique_ptr<CMS_ContentInfo, OpenSslFree> cms(
        in ? CMS_encrypt(recipients.get(), in.get(), EVP_aes_256_cbc(), CMS_BINARY) : nullptr);
    const int size = cms ? i2d_CMS_ContentInfo(cms.get(), nullptr) : 0;
    if (size <= 0)
        return Failed(Localized("加密封装失败", "sealing failed"));
    SealedEnvelope sealed;
    sealed.der.resize(static_cast<std::size_t>(size));
    unsigned char* out = sealed.der.data();
    if (i2d_CMS_ContentInfo(cms.get(), &out) != size)
        return Failed(Localized("加密封装失败", "sealing failed"));
    return sealed;
}
#endif
