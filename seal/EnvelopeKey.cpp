#include "seal/EnvelopeKey.h"

#include "base/Language.h"
#include "base/RegularFile.h"
#include "base/ShownPath.h"
#include "seal/EnvelopeKeyHeld.h"

#include <algorithm>
#include <cstring>

bool PemHolds(const KeyFileBytes& bytes, const char* text) {
    return std::search(bytes.begin(), bytes.end(), text, text + std::strlen(text)) != bytes.end();
}

bool IsPemText(const KeyFileBytes& bytes) {
    return PemHolds(bytes, "-----BEGIN ");
}

EnvelopeKeyLoad LoadEnvelopeKey(const std::filesystem::path& file, const SecretText& password) {
    KeyFileBytes bytes;
    const FileRead status = ReadRegularFile(file, kEnvelopeKeyFileLimit, bytes);
    EnvelopeKeyLoad load;
    if (status != FileRead::kRead) {
        load.problem = Localized("无法读取私钥文件：", "Cannot read the private key file: ") +
                       ShownPath(file) + Localized("：", ": ") +
                       FileReadProblem(status, kEnvelopeKeyFileLimit);
        return load;
    }
    load = KeyFromFileBytes(bytes, password);
    if (!load.key)
        load.problem = Localized("私钥文件 ", "Private key file ") + ShownPath(file) + Localized("：", ": ") +
                       load.problem;
    return load;
}
