#include "standin/SessionTable.h"

#include <algorithm>

CK_SESSION_HANDLE SessionTable::Open(CK_SLOT_ID slot, std::uint64_t insertion, bool readWrite) {
    while (m_next == CK_INVALID_HANDLE || m_sessions.count(m_next) != 0)
        ++m_next;
    const CK_SESSION_HANDLE handle = m_next++;
    m_sessions[handle] = OpenSession{slot, insertion, readWrite};
    return handle;
}

const OpenSession* SessionTable::Find(CK_SESSION_HANDLE handle) const {
    auto found = m_sessions.find(handle);
    return found == m_sessions.end() ? nullptr : &found->second;
}

void SessionTable::Close(CK_SESSION_HANDLE handle) {
    auto found = m_sessions.find(handle);
    if (found == m_sessions.end())
        return;
    const CK_SLOT_ID slot = found->second.slot;
    m_sessions.erase(found);
    const bool last = std::none_of(m_sessions.begin(), m_sessions.end(),
                                   [slot](const auto& entry) { return entry.second.slot == slot; });
    if (last)
        LogOut(slot);
}

void SessionTable::CloseAll(CK_SLOT_ID slot) {
    for (auto it = m_sessions.begin(); it != m_sessions.end();)
        it = it->second.slot == slot ? m_sessions.erase(it) : std::next(it);
    LogOut(slot);
}

void SessionTable::DropStale(CK_SLOT_ID slot, std::uint64_t insertion) {
    const bool stale = std::any_of(m_sessions.begin(), m_sessions.end(), [&](const auto& entry) {
        return entry.second.slot == slot && entry.second.insertion != insertion;
    });
    if (stale)
        CloseAll(slot);
}

void SessionTable::Clear() {
    m_sessions.clear();
    m_logins.clear();
}

bool SessionTable::HasReadOnly(CK_SLOT_ID slot) const {
    return std::any_of(m_sessions.begin(), m_sessions.end(), [slot](const auto& entry) {
        return entry.second.slot == slot && !entry.second.readWrite;
    });
}

bool SessionTable::HasAny(CK_SLOT_ID slot) const {
    return std::any_of(m_sessions.begin(), m_sessions.end(),
                       [slot](const auto& entry) { return entry.second.slot == slot; });
}

std::optional<CK_USER_TYPE> SessionTable::LoggedIn(CK_SLOT_ID slot) const {
    auto found = m_logins.find(slot);
    if (found == m_logins.end())
        return std::nullopt;
    return found->second;
}
