#include "seal/OpenEnvelope.h"

#include "seal/EnvelopeKeyHeld.h"

#ifdef _WIN32
#include <memory>

namespace {

struct MsgClose {
    void operator()(void* msg) const { CryptMsgClose(msg); }
};
struct CertFree {
    void operator()(const CERT_CONTEXT* cert) const { CertFreeCertificateContext(cert); }
};
using Wiped = std::vector<BYTE, WipingAllocator<BYTE>>;

// A parameter of the decoded message into wiped storage; empty when it has none.
Wiped Param(HCRYPTMSG msg, DWORD type, DWORD index = 0) {
    DWORD size = 0;
    Wiped bytes;
    if (CryptMsgGetParam(msg, type, index, nullptr, &size) && size > 0) {
        bytes.resize(size);
        if (!CryptMsgGetParam(msg, type, index, bytes.data(), &size))
            size = 0;
        bytes.resize(size);
    }
    return bytes;
}

DWORD DwordParam(HCRYPTMSG msg, DWORD type) {
    const Wiped bytes = Param(msg, type);
    return bytes.size() == sizeof(DWORD) ? *reinterpret_cast<const DWORD*>(bytes.data()) : 0;
}

// Recipient `index` decrypted with the PEM key's provider, or with the key of the store's
// certificate the recipient names (issuer and serial), through its CSP or KSP.
bool Decrypt(HCRYPTMSG msg, DWORD index, const EnvelopeKey::Held& key) {
    CMSG_CTRL_DECRYPT_PARA para{};
    para.cbSize = sizeof para;
    para.dwRecipientIndex = index;
    if (key.provider != 0) {
        para.hCryptProv = key.provider;
        para.dwKeySpec = AT_KEYEXCHANGE;
        return CryptMsgControl(msg, 0, CMSG_CTRL_DECRYPT, &para) != FALSE;
    }
    const Wiped info = Param(msg, CMSG_RECIPIENT_INFO_PARAM, index);
    if (info.size() < sizeof(CERT_INFO))
        return false;
    const std::unique_ptr<const CERT_CONTEXT, CertFree> cert(
        CertGetSubjectCertificateFromStore(key.store, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING,
                                           reinterpret_cast<PCERT_INFO>(const_cast<BYTE*>(info.data()))));
    HCRYPTPROV_OR_NCRYPT_KEY_HANDLE handle = 0;
    BOOL bFree = FALSE;
    // Cached in the certificate's context: released with it, not here.
    if (!cert || !CryptAcquireCertificatePrivateKey(
                     cert.get(), CRYPT_ACQUIRE_CACHE_FLAG | CRYPT_ACQUIRE_ALLOW_NCRYPT_KEY_FLAG, nullptr,
                     &handle, &para.dwKeySpec, &bFree))
        return false;
    para.hCryptProv = handle;
    return CryptMsgControl(msg, 0, CMSG_CTRL_DECRYPT, &para) != FALSE;
}

} // namespace

std::optional<SecureBytes> OpenEnvelope(const EnvelopeKey& key, const std::vector<unsigned char>& der) {
    if (der.empty() || der.size() > kEnvelopeFileLimit)
        return std::nullopt;
    std::unique_ptr<void, MsgClose> msg(
        CryptMsgOpenToDecode(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0, 0, 0, nullptr, nullptr));
    if (!msg || !CryptMsgUpdate(msg.get(), der.data(), static_cast<DWORD>(der.size()), TRUE) ||
        DwordParam(msg.get(), CMSG_TYPE_PARAM) != CMSG_ENVELOPED)
        return std::nullopt;
    const DWORD recipients = DwordParam(msg.get(), CMSG_RECIPIENT_COUNT_PARAM);
    for (DWORD i = 0; i < recipients; ++i)
        if (Decrypt(msg.get(), i, key.held())) {
            const Wiped content = Param(msg.get(), CMSG_CONTENT_PARAM);
            return SecureBytes(content.data(), content.size());
        }
    return std::nullopt;
}

#else
#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>

std::optional<SecureBytes> OpenEnvelope(const EnvelopeKey& key, const std::vector<unsigned char>& der) {
    if (der.empty() || der.size() > kEnvelopeFileLimit)
        return std::nullopt;
    std::unique_ptr<BIO, decltype(&BIO_free)> in(BIO_new_mem_buf(der.data(), static_cast<int>(der.size())),
                                                 BIO_free);
    std::unique_ptr<CMS_ContentInfo, decltype(&CMS_ContentInfo_free)> cms(d2i_CMS_bio(in.get(), nullptr),
                                                                          CMS_ContentInfo_free);
    // A memory BIO grows and frees its buffer wiped, so the content leaves no copy behind.
    std::unique_ptr<BIO, decltype(&BIO_free)> out(BIO_new(BIO_s_mem()), BIO_free);
    // Without a certificate every recipient is tried; a failure is told as one, not hidden
    // behind a random key: the supervisor opens envelopes of their own, on their own machine.
    const bool bOpened = cms && out && OBJ_obj2nid(CMS_get0_type(cms.get())) == NID_pkcs7_enveloped &&
                         CMS_decrypt(cms.get(), key.held().key.get(), key.held().certificate.get(), nullptr,
                                     out.get(), CMS_BINARY | CMS_DEBUG_DECRYPT) == 1;
    ERR_clear_error();
    if (!bOpened)
        return std::nullopt;
    char* data = nullptr;
    const long size = BIO_get_mem_data(out.get(), &data);
    return SecureBytes(data, size > 0 ? static_cast<std::size_t>(size) : 0);
}

#endif
