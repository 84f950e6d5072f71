#include "seal/SealCertificate.h"

#include "base/Language.h"
#include "base/RegularFile.h"
#include "base/ShownPath.h"
#include "base/ShownText.h"

#include <memory>

#ifdef _WIN32
// clang-format off
#include <windows.h>
#include <wincrypt.h>
// clang-format on
#include "base/Utf8.h"
#else
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#endif

namespace {

const char* NotCertificate() {
    return Localized("不是X.509证书", "not an X.509 certificate");
}
const char* NotRsa() {
    return Localized("证书的公钥不是RSA密钥", "the certificate's public key is not an RSA key");
}
const char kPemHeader[] = "-----BEGIN CERTIFICATE-----";

SealCertificateLoad Refused(const char* problem) {
    return SealCertificateLoad{std::nullopt, problem};
}

SealCertificateLoad Loaded(const unsigned char* der, std::size_t size, const std::string& subject) {
    SealCertificate certificate;
    certificate.der.assign(der, der + size);
    certificate.subject = ShownText(subject);
    return SealCertificateLoad{std::move(certificate), std::string()};
}

#ifdef _WIN32
struct CertContextFree {
    void operator()(const CERT_CONTEXT* context) const { CertFreeCertificateContext(context); }
};
using CertContext = std::unique_ptr<const CERT_CONTEXT, CertContextFree>;

SealCertificateLoad Parse(const std::string& bytes) {
    std::vector<BYTE> der;
    const std::size_t start = bytes.find(kPemHeader);
    if (start != std::string::npos) {
        DWORD size = 0;
        const DWORD length = static_cast<DWORD>(bytes.size() - start);
        if (!CryptStringToBinaryA(bytes.data() + start, length, CRYPT_STRING_BASE64HEADER, nullptr, &size,
                                  nullptr, nullptr))
            return Refused(NotCertificate());
        der.resize(size);
        if (!CryptStringToBinaryA(bytes.data() + start, length, CRYPT_STRING_BASE64HEADER, der.data(), &size,
                                  nullptr, nullptr))
            return Refused(NotCertificate());
        der.resize(size);
    } else {
        der.assign(bytes.begin(), bytes.end());
    }
    CertContext context(CertCreateCertificateContext(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, der.data(),
                                                     static_cast<DWORD>(der.size())));
    if (!context)
        return Refused(NotCertificate());
    const char* algorithm = context->pCertInfo->SubjectPublicKeyInfo.Algorithm.pszObjId;
    if (algorithm == nullptr || std::string(algorithm) != szOID_RSA_RSA)
        return Refused(NotRsa());
    wchar_t name[512] = L"";
    CertGetNameStringW(context.get(), CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, 512);
    return Loaded(context->pbCertEncoded, context->cbCertEncoded, WideToUtf8(name));
}
#else
struct OpenSslFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
    void operator()(X509* certificate) const { X509_free(certificate); }
};
using Bio = std::unique_ptr<BIO, OpenSslFree>;
using Certificate = std::unique_ptr<X509, OpenSslFree>;

// The common name, as Windows shows a certificate; the whole subject when there is none.
std::string Subject(X509* certificate) {
    X509_NAME* name = X509_get_subject_name(certificate);
    const int index = X509_NAME_get_index_by_NID(name, NID_commonName, -1);
    if (index >= 0) {
        unsigned char* utf8 = nullptr;
        const int length =
            ASN1_STRING_to_UTF8(&utf8, X509_NAME_ENTRY_get_data(X509_NAME_get_entry(name, index)));
        if (length >= 0) {
            std::string text(reinterpret_cast<char*>(utf8), static_cast<std::size_t>(length));
            OPENSSL_free(utf8);
            return text;
        }
    }
    Bio out(BIO_new(BIO_s_mem()));
    if (!out || X509_NAME_print_ex(out.get(), name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB) < 0)
        return std::string();
    char* data = nullptr;
    const long size = BIO_get_mem_data(out.get(), &data);
    return size > 0 ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}

SealCertificateLoad Parse(const std::string& bytes) {
    Certificate certificate;
    const std::size_t start = bytes.find(kPemHeader);
    if (start != std::string::npos) {
        Bio in(BIO_new_mem_buf(bytes.data() + start, static_cast<int>(bytes.size() - start)));
        if (in)
            certificate.reset(PEM_read_bio_X509(in.get(), nullptr, nullptr, nullptr));
    } else {
        const unsigned char* next = reinterpret_cast<const unsigned char*>(bytes.data());
        certificate.reset(d2i_X509(nullptr, &next, static_cast<long>(bytes.size())));
        // Trailing bytes after the certificate: not a DER certificate file.
        if (next != reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size())
            certificate.reset();
    }
    ERR_clear_error(); // a refused input leaves nothing for the next OpenSSL caller to trip on
    if (!certificate)
        return Refused(NotCertificate());
    EVP_PKEY* key = X509_get0_pubkey(certificate.get());
    if (key == nullptr || EVP_PKEY_base_id(key) != EVP_PKEY_RSA) {
        ERR_clear_error();
        return Refused(NotRsa());
    }
    const int size = i2d_X509(certificate.get(), nullptr);
    std::vector<unsigned char> der(size > 0 ? static_cast<std::size_t>(size) : 0);
    unsigned char* out = der.data();
    if (size <= 0 || i2d_X509(certificate.get(), &out) != size) {
        ERR_clear_error();
        return Refused(NotCertificate());
    }
    return Loaded(der.data(), der.size(), Subject(certificate.get()));
}
#endif

} // namespace

SealCertificateLoad SealCertificateFromBytes(const std::string& bytes) {
    if (bytes.empty() || bytes.size() > kSealCertificateLimit)
        return Refused(NotCertificate());
    return Parse(bytes);
}

SealCertificateLoad LoadSealCertificate(const std::filesystem::path& path) {
    std::string bytes;
    const FileRead status = ReadRegularFile(path, kSealCertificateLimit, bytes);
    if (status != FileRead::kRead)
        return SealCertificateLoad{std::nullopt, FileReadProblem(status, kSealCertificateLimit)};
    return SealCertificateFromBytes(bytes);
}

std::string SealCertificateProblem(const std::filesystem::path& path, const SealCertificateLoad& load) {
    return load.certificate ? std::string()
                            : Localized("PIN信封证书 ", "PIN envelope certificate ") + ShownPath(path) +
                                  Localized(" 不可用：", " cannot be used: ") + load.problem;
}
