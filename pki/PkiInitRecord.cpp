#include "pki/PkiInitRecord.h"

#include "base/TextEncoding.h"

#include <cstring>

SecureBytes MakeLabelField(const std::wstring& label) {
    const SecureBytes utf8 = WideToMultiByte(label, CP_UTF8);
    if (utf8.empty() || utf8.size() > PKI_LABEL_MAX_BYTES)
        return SecureBytes();
    // SecureBytes keeps a zero after its last byte: that is byte 32 of the field.
    static const char kSpaces[] = "                                ";
    static_assert(sizeof kSpaces == PKI_LABEL_FIELD_SIZE, "32 spaces and the terminating zero");
    SecureBytes field(kSpaces, PKI_LABEL_FIELD_SIZE - 1);
    std::memcpy(field.data(), utf8.data(), utf8.size());
    return field;
}

PkiInitRecord::PkiInitRecord(const PkiInitParams& params)
    : m_soPin(WideToMultiByte(params.strSoPin, CP_ACP)),
      m_userPin(WideToMultiByte(params.strUserPin, CP_ACP)), m_labelField(MakeLabelField(params.strLabel)) {
    std::memset(&m_record, 0, sizeof m_record);
    if (!IsValid())
        return;
    m_record.byFixed0 = 1;
    m_record.byFixed1 = 1;
    m_record.pLabel = m_labelField.data();
    m_record.pSoPin = m_soPin.data();
    m_record.pUserPin = m_userPin.data();
    m_record.bySoPinMaxRetry = params.bySoPinMaxRetry;
    m_record.byUserPinMaxRetry = params.byUserPinMaxRetry;
    m_record.ulPublicSize = params.ulPublicSize;
    m_record.ulPrivateSize = params.ulPrivateSize;
    m_record.ulFixedVersion = PKI_INIT_FIXED_VERSION;
}

PkiInitRecord::~PkiInitRecord() {
    SecureWipe(&m_record, sizeof m_record);
}

PkiInitParams IssuedParams(const PkiInitParams& params, const TokenIssue& issue) {
    PkiInitParams issued = params;
    if (issue.label)
        issued.strLabel = *issue.label;
    if (issue.userPin)
        issued.strUserPin = *issue.userPin;
    return issued;
}
