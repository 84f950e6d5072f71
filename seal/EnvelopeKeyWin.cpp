// The key files on Windows: a PKCS#12 file imported into a store of its own, its keys kept in
// memory only; the user's "MY" store as it is.
#include "seal/EnvelopeKeyHeld.h"

namespace {

EnvelopeKeyLoad Refused(const char* problem, bool bWrongPassword = false) {
    EnvelopeKeyLoad load;
    load.problem = problem;
    load.bWrongPassword = bWrongPassword;
    return load;
}

// A certificate in the store that knows where its private key is.
bool HoldsPrivateKey(HCERTSTORE store) {
    for (PCCERT_CONTEXT cert = nullptr; (cert = CertEnumCertificatesInStore(store, cert)) != nullptr;) {
        DWORD size = 0;
        for (DWORD property : {DWORD(CERT_KEY_PROV_INFO_PROP_ID), DWORD(CERT_KEY_CONTEXT_PROP_ID),
                               DWORD(CERT_NCRYPT_KEY_HANDLE_PROP_ID)})
            if (CertGetCertificateContextProperty(cert, property, nullptr, &size)) {
                CertFreeCertificateContext(cert);
                return true;
            }
    }
    return false;
}

EnvelopeKeyLoad Holding(HCERTSTORE store) {
    auto held = std::make_shared<EnvelopeKey::Held>();
    held->store = store;
    if (!HoldsPrivateKey(store))
        return Refused("文件中没有私钥");
    EnvelopeKeyLoad load;
    load.key.emplace(std::move(held));
    return load;
}

} // namespace

EnvelopeKeyLoad KeyFromFileBytes(const KeyFileBytes& bytes, const SecretText& password) {
    if (IsPemText(bytes))
        return Refused(
            "在 Windows 上请用 PKCS#12 文件（.p12/.pfx），或不给 --key 而用当前用户证书存储中的私钥");
    CRYPT_DATA_BLOB blob{static_cast<DWORD>(bytes.size()),
                         reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()))};
    if (!PFXIsPFXBlob(&blob))
        return Refused("不是PEM私钥或PKCS#12文件");
    // An empty password may have been taken as an empty string or as none at all.
    const wchar_t* text = password.c_str();
    if (!PFXVerifyPassword(&blob, text, 0)) {
        if (password.length() != 0 || !PFXVerifyPassword(&blob, nullptr, 0))
            return Refused("密码错误，无法解开PKCS#12文件", true);
        text = nullptr;
    }
    HCERTSTORE store = PFXImportCertStore(&blob, text, PKCS12_NO_PERSIST_KEY);
    if (store == nullptr)
        return Refused("PKCS#12文件无法导入");
    return Holding(store);
}

EnvelopeKeyLoad UserStoreEnvelopeKey() {
    HCERTSTORE store = CertOpenSystemStoreW(0, L"MY");
    if (store == nullptr)
        return Refused("无法打开当前用户的证书存储（MY）");
    EnvelopeKeyLoad load = Holding(store);
    if (!load.key)
        load.problem = "当前用户的证书存储中没有带私钥的证书";
    return load;
}
