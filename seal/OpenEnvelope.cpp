#include "seal/OpenEnvelope.h"

#include "seal/EnvelopeKeyHeld.h"

#ifdef _WIN32

std::optional<SecureBytes> OpenEnvelope(const EnvelopeKey& key, const std::vector<unsigned char>& der) {
    if (der.empty() || der.size() > kEnvelopeFileLimit)
        return std::nullopt;
    // The system finds the recipient's certificate in the store and its key through its provider.
    HCERTSTORE store = key.held().store;
    CRYPT_DECRYPT_MESSAGE_PARA para{};
    para.cbSize = sizeof para;
    para.dwMsgAndCertEncodingType = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;
    para.cCertStore = 1;
    para.rghCertStore = &store;
    DWORD size = 0;
    if (!CryptDecryptMessage(&para, der.data(), static_cast<DWORD>(der.size()), nullptr, &size, nullptr))
        return std::nullopt;
    std::vector<unsigned char, WipingAllocator<unsigned char>> content(size + 1);
    if (!CryptDecryptMessage(&para, der.data(), static_cast<DWORD>(der.size()), content.data(), &size,
                             nullptr))
        return std::nullopt;
    return SecureBytes(content.data(), size);
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
