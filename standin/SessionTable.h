#pragma once
// The open sessions and who is logged in on which token. A session belongs to one plugging-in
// of a token: once that token is pulled or replaced, its sessions and its login are gone.
#include "token/Pkcs11.h"

#include <cstdint>
#include <map>
#include <optional>

struct OpenSession {
    CK_SLOT_ID slot = 0;
    std::uint64_t insertion = 0; // VirtualToken::insertion of the token it was opened on
    bool readWrite = false;
};

class SessionTable {
  public:
    // A new handle, never 0 (CK_INVALID_HANDLE).
    CK_SESSION_HANDLE Open(CK_SLOT_ID slot, std::uint64_t insertion, bool readWrite);
    // Null when there is no such session.
    const OpenSession* Find(CK_SESSION_HANDLE handle) const;
    // Closing the last session of a token logs it out.
    void Close(CK_SESSION_HANDLE handle);
    void CloseAll(CK_SLOT_ID slot);
    // Closes the slot's sessions unless they belong to the token plugged in as `insertion`.
    void DropStale(CK_SLOT_ID slot, std::uint64_t insertion);
    void Clear();

    bool HasReadOnly(CK_SLOT_ID slot) const;
    bool HasAny(CK_SLOT_ID slot) const;
    // CKU_USER or CKU_SO; nothing when nobody is logged in on the slot's token.
    std::optional<CK_USER_TYPE> LoggedIn(CK_SLOT_ID slot) const;
    void LogIn(CK_SLOT_ID slot, CK_USER_TYPE user) { m_logins[slot] = user; }
    void LogOut(CK_SLOT_ID slot) { m_logins.erase(slot); }

  private:
    std::map<CK_SESSION_HANDLE, OpenSession> m_sessions;
    std::map<CK_SLOT_ID, CK_USER_TYPE> m_logins;
    CK_SESSION_HANDLE m_next = 1;
};
