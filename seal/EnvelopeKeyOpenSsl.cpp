// The key files natively, read by OpenSSL.
#include "seal/EnvelopeKeyHeld.h"

#include "base/Language.h"
#include "base/Utf8.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>

#include <climits>
#include <cstring>

namespace {

using Bio = std::unique_ptr<BIO, decltype(&BIO_free)>;

Bio ReadingBio(const KeyFileBytes& bytes) {
    return Bio(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())), BIO_free);
}

// OpenSSL asks for the password only when the key is encrypted; an empty one is no answer.
int GivePassword(char* buffer, int size, int, void* user) {
    const SecureBytes& password = *static_cast<const SecureBytes*>(user);
    if (password.empty() || password.size() > static_cast<std::size_t>(size))
        return -1;
    std::memcpy(buffer, password.data(), password.size());
    return static_cast<int>(password.size());
}

EnvelopeKeyLoad Refused(const char* problem, bool bWrongPassword = false) {
    ERR_clear_error();
    EnvelopeKeyLoad load;
    load.problem = problem;
    load.bWrongPassword = bWrongPassword;
    return load;
}

EnvelopeKeyLoad FromPem(const KeyFileBytes& bytes, const SecureBytes& password) {
    auto held = std::make_shared<EnvelopeKey::Held>();
    const Bio bio = ReadingBio(bytes);
    held->key.reset(
        PEM_read_bio_PrivateKey(bio.get(), nullptr, GivePassword, const_cast<SecureBytes*>(&password)));
    if (!held->key) {
        if (PemHolds(bytes, "ENCRYPTED PRIVATE KEY-----") || PemHolds(bytes, "Proc-Type: 4,ENCRYPTED"))
            return Refused(
                Localized("密码错误，无法解开私钥", "wrong password: the private key cannot be unlocked"),
                true);
        if (PemHolds(bytes, "PRIVATE KEY-----"))
            return Refused(
                Localized("私钥已损坏，无法读取", "the private key is damaged and cannot be read"));
        return Refused(Localized("文件中没有私钥", "the file holds no private key"));
    }
    EnvelopeKeyLoad load;
    load.key.emplace(std::move(held));
    return load;
}

EnvelopeKeyLoad FromPkcs12(const KeyFileBytes& bytes, const SecureBytes& password) {
    const Bio bio = ReadingBio(bytes);
    std::unique_ptr<PKCS12, decltype(&PKCS12_free)> p12(d2i_PKCS12_bio(bio.get(), nullptr), PKCS12_free);
    if (!p12)
        return Refused(Localized("不是PEM私钥或PKCS#12文件", "not a PEM private key or a PKCS#12 file"));
    // An empty password may have been taken as an empty string or as none at all.
    const char* text = reinterpret_cast<const char*>(password.data());
    if (PKCS12_mac_present(p12.get()) &&
        !PKCS12_verify_mac(p12.get(), text, static_cast<int>(password.size()))) {
        if (!password.empty() || !PKCS12_verify_mac(p12.get(), nullptr, 0))
            return Refused(Localized("密码错误，无法解开PKCS#12文件",
                                     "wrong password: the PKCS#12 file cannot be unlocked"),
                           true);
        text = nullptr;
    }
    auto held = std::make_shared<EnvelopeKey::Held>();
    EVP_PKEY* key = nullptr;
    X509* certificate = nullptr;
    const bool bParsed = PKCS12_parse(p12.get(), text, &key, &certificate, nullptr) == 1;
    held->key.reset(key);
    held->certificate.reset(certificate);
    if (!bParsed)
        return Refused(
            Localized("PKCS#12文件已损坏，无法读取", "the PKCS#12 file is damaged and cannot be read"));
    if (!held->key)
        return Refused(Localized("文件中没有私钥", "the file holds no private key"));
    EnvelopeKeyLoad load;
    load.key.emplace(std::move(held));
    return load;
}

} // namespace

EnvelopeKeyLoad KeyFromFileBytes(const KeyFileBytes& bytes, const SecretText& password) {
    const SecureBytes utf8 = SecretToUtf8(password);
    if (bytes.size() > INT_MAX || utf8.size() > INT_MAX)
        return Refused(Localized("文件过大", "the file is too large"));
    return IsPemText(bytes) ? FromPem(bytes, utf8) : FromPkcs12(bytes, utf8);
}
