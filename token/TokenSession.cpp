#include "token/TokenSession.h"

TokenSession::TokenSession(TokenModule& module, CK_SLOT_ID slot, CK_FLAGS flags)
    : m_module(module), m_openResult(module.OpenSession(slot, CKF_SERIAL_SESSION | flags, &m_handle)) {
    m_open = m_openResult == CKR_OK;
}

TokenSession::~TokenSession() {
    Close();
}

CK_RV TokenSession::Close() {
    if (!m_open)
        return CKR_OK;
    m_open = false;
    return m_module.CloseSession(m_handle);
}
