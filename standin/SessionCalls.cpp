#include "standin/SessionCalls.h"

#include "standin/ModuleCall.h"
#include "standin/PinCheck.h"

namespace {

constexpr char kOpenSession[] = "C_OpenSession";
constexpr char kCloseSession[] = "C_CloseSession";
constexpr char kCloseAllSessions[] = "C_CloseAllSessions";
constexpr char kLogin[] = "C_Login";
constexpr char kLogout[] = "C_Logout";

CK_RV OpenSessionCall(CK_SLOT_ID slot, CK_FLAGS flags, CK_VOID_PTR, CK_NOTIFY, CK_SESSION_HANDLE_PTR handle) {
    return Guarded([&] {
        ModuleCall call(kOpenSession, slot);
        call.Arg("slot", slot).Arg("flags", flags);
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        if (handle == nullptr)
            return call.Return(CKR_ARGUMENTS_BAD);
        if (!(flags & CKF_SERIAL_SESSION))
            return call.Return(CKR_SESSION_PARALLEL_NOT_SUPPORTED);
        VirtualToken* token = nullptr;
        if (CK_RV rv = call.FindToken(slot, token); rv != CKR_OK)
            return call.Return(rv);
        if (token->type == DEVICE_TYPE_ENCRYPTION_LOCK)
            return call.Return(CKR_TOKEN_WRITE_PROTECTED);
        if (token->type != DEVICE_TYPE_PKI)
            return call.Return(CKR_TOKEN_NOT_RECOGNIZED); // a blank token has no PKCS#11 application
        SessionTable& sessions = call.State().Sessions();
        sessions.DropStale(slot, token->insertion);
        const bool readWrite = (flags & CKF_RW_SESSION) != 0;
        if (!readWrite && sessions.LoggedIn(slot) == CKU_SO)
            return call.Return(CKR_SESSION_READ_WRITE_SO_EXISTS);
        *handle = sessions.Open(slot, token->insertion, readWrite);
        return call.Out("session", *handle).Return(CKR_OK);
    });
}

CK_RV CloseSessionCall(CK_SESSION_HANDLE handle) {
    return Guarded([&] {
        ModuleCall call(kCloseSession, OnSession{handle});
        call.Arg("session", handle);
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        OpenSession session;
        VirtualToken* token = nullptr;
        if (CK_RV rv = FindSession(call, handle, session, token); rv != CKR_OK)
            return call.Return(rv);
        call.State().Sessions().Close(handle);
        return call.Return(CKR_OK);
    });
}

CK_RV CloseAllSessionsCall(CK_SLOT_ID slot) {
    return Guarded([&] {
        ModuleCall call(kCloseAllSessions, slot);
        call.Arg("slot", slot);
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        if (!call.State().Bench().IsSlot(slot))
            return call.Return(CKR_SLOT_ID_INVALID);
        call.State().Sessions().CloseAll(slot);
        return call.Return(CKR_OK);
    });
}

CK_RV LoginCall(CK_SESSION_HANDLE handle, CK_USER_TYPE user, CK_UTF8CHAR_PTR pin, CK_ULONG pinLength) {
    return Guarded([&] {
        ModuleCall call(kLogin, OnSession{handle});
        call.Arg("session", handle).Arg("user", user).Arg("pinlen", pinLength);
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        OpenSession session;
        VirtualToken* token = nullptr;
        if (CK_RV rv = FindSession(call, handle, session, token); rv != CKR_OK)
            return call.Return(rv);
        if (user != CKU_SO && user != CKU_USER)
            return call.Return(CKR_USER_TYPE_INVALID);
        SessionTable& sessions = call.State().Sessions();
        if (auto current = sessions.LoggedIn(session.slot))
            return call.Return(*current == user ? CKR_USER_ALREADY_LOGGED_IN
                                                : CKR_USER_ANOTHER_ALREADY_LOGGED_IN);
        if (user == CKU_SO && sessions.HasReadOnly(session.slot))
            return call.Return(CKR_SESSION_READ_ONLY_EXISTS);
        if (user == CKU_USER && token->userPin.empty())
            return call.Return(CKR_USER_PIN_NOT_INITIALIZED);
        CK_RV rv = user == CKU_SO ? CheckPin(token->soPin, token->soLeft, token->soMax, pin, pinLength)
                                  : CheckPin(token->userPin, token->userLeft, token->userMax, pin, pinLength);
        if (rv == CKR_OK)
            sessions.LogIn(session.slot, user);
        return call.Return(rv);
    });
}

CK_RV LogoutCall(CK_SESSION_HANDLE handle) {
    return Guarded([&] {
        ModuleCall call(kLogout, OnSession{handle});
        call.Arg("session", handle);
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        OpenSession session;
        VirtualToken* token = nullptr;
        if (CK_RV rv = FindSession(call, handle, session, token); rv != CKR_OK)
            return call.Return(rv);
        SessionTable& sessions = call.State().Sessions();
        if (!sessions.LoggedIn(session.slot))
            return call.Return(CKR_USER_NOT_LOGGED_IN);
        sessions.LogOut(session.slot);
        return call.Return(CKR_OK);
    });
}

} // namespace

CK_RV FindSession(ModuleCall& call, CK_SESSION_HANDLE handle, OpenSession& session, VirtualToken*& token) {
    SessionTable& sessions = call.State().Sessions();
    const OpenSession* found = sessions.Find(handle);
    if (found == nullptr)
        return CKR_SESSION_HANDLE_INVALID;
    session = *found;
    token = call.State().Bench().TokenIn(session.slot);
    if (token == nullptr || token->insertion != session.insertion) {
        sessions.CloseAll(session.slot);
        return CKR_SESSION_HANDLE_INVALID;
    }
    return CKR_OK;
}

void AddSessionCalls(CK_FUNCTION_LIST& list) {
    list.C_OpenSession = &OpenSessionCall;
    list.C_CloseSession = &CloseSessionCall;
    list.C_CloseAllSessions = &CloseAllSessionsCall;
    list.C_Login = &LoginCall;
    list.C_Logout = &LogoutCall;
}
