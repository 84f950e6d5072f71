#pragma once
// The byte forms of one PKI initialisation and the record that points at them. The PINs
// and the label field sit in wiped storage; the record is wiped with them.
#include "token/PkiInitParam.h"
#include "base/SecureBuffer.h"
#include "pki/PkiLimits.h"
#include "token/TokenIssue.h"

#include <cstdint>
#include <string>

// The page's values for one attempt. Defaults are the page's own defaults.
struct PkiInitParams {
    SecretText strSoPin{kDefaultSoPin};     // new SO PIN, 4-32 characters
    SecretText strUserPin{kDefaultUserPin}; // new user PIN, 4-32 characters
    std::wstring strLabel{kDefaultLabel};   // 0-32 characters; its UTF-8 length must be 1 to 31
    std::uint8_t bySoPinMaxRetry = kDefaultMaxRetry;
    std::uint8_t byUserPinMaxRetry = kDefaultMaxRetry;
    std::uint32_t ulPublicSize = kDefaultPublicSize;
    std::uint32_t ulPrivateSize = kDefaultPrivateSize;
    // A module without the vendor extension only: the SO PIN a token initialised before has
    // now (empty: not given), and whether the attempt is part of a batch run.
    SecretText strCurrentSoPin{L""};
    bool bBatch = false;
};

// `params` with what `issue` gives the token of its own.
PkiInitParams IssuedParams(const PkiInitParams& params, const TokenIssue& issue);

// The 33-byte label field for `label`: its UTF-8 bytes, spaces up to byte 31, zero at byte
// 32. Empty when the label's UTF-8 length is 0 or 32 and more.
SecureBytes MakeLabelField(const std::wstring& label);

class PkiInitRecord {
  public:
    // Converts the PINs (active ANSI code page) and the label (UTF-8).
    explicit PkiInitRecord(const PkiInitParams& params);
    ~PkiInitRecord();
    PkiInitRecord(const PkiInitRecord&) = delete;
    PkiInitRecord& operator=(const PkiInitRecord&) = delete;

    // False when the label's byte length is out of range; the record is then left zero.
    bool IsValid() const { return m_labelField.size() == PKI_LABEL_FIELD_SIZE - 1; }
    // Points into this object: valid while it lives.
    PKI_INIT_PARAM* Record() { return &m_record; }
    // The bytes the record points at, for the read-back: the PINs without their terminating
    // zero, the label field with it.
    const SecureBytes& SoPin() const { return m_soPin; }
    const SecureBytes& UserPin() const { return m_userPin; }
    const SecureBytes& LabelField() const { return m_labelField; }

  private:
    SecureBytes m_soPin;
    SecureBytes m_userPin;
    SecureBytes m_labelField;
    PKI_INIT_PARAM m_record;
};
