#include "standin/TokenOperations.h"

#include <cstring>

namespace {

std::optional<SecureBytes> ReadTerminatedPin(const std::uint8_t* pin) {
    if (pin == nullptr)
        return std::nullopt;
    for (std::size_t i = 0; i < kPinScanBytes; ++i) {
        if (pin[i] == 0)
            return SecureBytes(pin, i);
    }
    return std::nullopt;
}

std::string LabelFromField(const std::array<std::uint8_t, PKI_LABEL_FIELD_SIZE>& field) {
    std::size_t end = 0;
    while (end < PKI_LABEL_FIELD_SIZE - 1 && field[end] != 0)
        ++end;
    while (end > 0 && field[end - 1] == ' ')
        --end;
    return std::string(reinterpret_cast<const char*>(field.data()), end);
}

// The PIN as the token keeps it; a faulty one drops the last byte without a word.
SecureBytes StoredPin(const SecureBytes& sent, bool cut) {
    return SecureBytes(sent.data(), cut && !sent.empty() ? sent.size() - 1 : sent.size());
}

} // namespace

CK_RV InitBlankToken(VirtualToken& token, const CK_BYTE* soPin, CK_ULONG soPinLength) {
    if (token.type == DEVICE_TYPE_ENCRYPTION_LOCK)
        return CKR_TOKEN_WRITE_PROTECTED;
    if (token.type == DEVICE_TYPE_BLANK)
        return CKR_OK; // nothing to protect: the PIN is ignored
    if (token.type != DEVICE_TYPE_PKI)
        return CKR_TOKEN_NOT_RECOGNIZED;
    CK_RV rv = CheckPin(token.soPin, token.soLeft, token.soMax, soPin, soPinLength);
    if (rv == CKR_OK && !(token.misbehaviour & kMisKeepsType))
        WipeToBlank(token);
    return rv;
}

PkiRecordCopy CopyPkiRecord(const PKI_INIT_PARAM& param) {
    PkiRecordCopy copy;
    std::memcpy(&copy.fields, &param, sizeof param);
    std::memcpy(copy.bytes.data(), &param, sizeof param);
    if (copy.fields.pLabel != nullptr) {
        copy.labelField.emplace();
        std::memcpy(copy.labelField->data(), copy.fields.pLabel, PKI_LABEL_FIELD_SIZE);
    }
    copy.soPin = ReadTerminatedPin(copy.fields.pSoPin);
    copy.userPin = ReadTerminatedPin(copy.fields.pUserPin);
    return copy;
}

CK_RV InitPkiToken(VirtualToken& token, const PkiRecordCopy& record) {
    const PKI_INIT_PARAM& p = record.fields;
    if (p.byFixed0 != 1 || p.byFixed1 != 1 || p.ulFixedVersion != PKI_INIT_FIXED_VERSION)
        return CKR_ARGUMENTS_BAD;
    if (!record.labelField || p.pSoPin == nullptr || p.pUserPin == nullptr)
        return CKR_ARGUMENTS_BAD;
    if ((*record.labelField)[PKI_LABEL_FIELD_SIZE - 1] != 0)
        return CKR_ARGUMENTS_BAD;
    if (!record.soPin || !record.userPin || !PinLengthInRange(record.soPin->size()) ||
        !PinLengthInRange(record.userPin->size()))
        return CKR_PIN_LEN_RANGE;
    if (p.bySoPinMaxRetry == 0 || p.byUserPinMaxRetry == 0)
        return CKR_ARGUMENTS_BAD;
    if (token.type == DEVICE_TYPE_ENCRYPTION_LOCK)
        return CKR_TOKEN_WRITE_PROTECTED;
    if (token.type != DEVICE_TYPE_BLANK && token.type != DEVICE_TYPE_PKI)
        return CKR_TOKEN_NOT_RECOGNIZED;
    if (std::uint64_t{p.ulPublicSize} + p.ulPrivateSize > token.totalSpace)
        return CKR_DEVICE_MEMORY;

    token.type = DEVICE_TYPE_PKI;
    token.soPin = StoredPin(*record.soPin, token.misbehaviour & kMisCutsSoPin);
    token.userPin = StoredPin(*record.userPin, token.misbehaviour & kMisCutsUserPin);
    if (token.misbehaviour & kMisDropsUserPin)
        token.userPin = SecureBytes();
    token.soMax = token.soLeft = p.bySoPinMaxRetry;
    token.userMax = token.userLeft = p.byUserPinMaxRetry;
    if (!(token.misbehaviour & kMisKeepsLabel))
        token.label = LabelFromField(*record.labelField);
    token.publicSize = p.ulPublicSize;
    token.privateSize = p.ulPrivateSize;
    return CKR_OK;
}
