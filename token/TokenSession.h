#pragma once
// A PKCS#11 session on one token, closed when it goes out of scope: the read-back's session
// is closed on every path, also when a check fails or throws.
#include "token/TokenModule.h"

class TokenSession {
  public:
    // Opens a serial session with `flags` added; Result() tells whether it is open.
    TokenSession(TokenModule& module, CK_SLOT_ID slot, CK_FLAGS flags);
    ~TokenSession();
    TokenSession(const TokenSession&) = delete;
    TokenSession& operator=(const TokenSession&) = delete;

    // C_OpenSession's answer.
    CK_RV Result() const { return m_openResult; }
    CK_SESSION_HANDLE Handle() const { return m_handle; }
    // Closes now and answers C_CloseSession's result; later calls answer CKR_OK.
    CK_RV Close();

  private:
    TokenModule& m_module;
    CK_SESSION_HANDLE m_handle = CK_INVALID_HANDLE;
    CK_RV m_openResult;
    bool m_open = false;
};
