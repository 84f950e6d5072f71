#include "standin/StandardCalls.h"

#include "standin/PinCheck.h"
#include "standin/SessionCalls.h"

namespace {

constexpr char kInitToken[] = "C_InitToken";
constexpr char kInitPin[] = "C_InitPIN";
constexpr char kSetPin[] = "C_SetPIN";
constexpr char kFindObjectsInit[] = "C_FindObjectsInit";
constexpr char kFindObjects[] = "C_FindObjects";
constexpr char kFindObjectsFinal[] = "C_FindObjectsFinal";

// The 32-byte label without its padding.
std::string LabelText(const CK_UTF8CHAR* field) {
    std::size_t end = 32;
    while (end > 0 && field[end - 1] == ' ')
        --end;
    return std::string(reinterpret_cast<const char*>(field), end);
}

// As some modules do when they initialise a token: it shows up in another slot.
void MoveToNextEmptySlot(VirtualBench& bench, unsigned slot) {
    for (unsigned next = (slot + 1) % bench.SlotCount(); next != slot;
         next = (next + 1) % bench.SlotCount()) {
        if (bench.TokenIn(next) != nullptr)
            continue;
        VirtualToken moved = *bench.TokenIn(slot);
        bench.Remove(slot);
        bench.Insert(next, std::move(moved));
        return;
    }
}

// A blank token takes the SO PIN it is given; an initialised one must be given its own. Either
// way it ends initialised, with the label, no user PIN and the SO PIN's tries back.
CK_RV InitTokenCall(CK_SLOT_ID slot, CK_UTF8CHAR_PTR pin, CK_ULONG pinLength, CK_UTF8CHAR_PTR label) {
    return Guarded([&] {
        ModuleCall call(kInitToken, slot);
        call.Arg("slot", slot).Arg("pinlen", pinLength);
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        if (pin == nullptr || label == nullptr)
            return call.Return(CKR_ARGUMENTS_BAD);
        VirtualToken* token = nullptr;
        if (CK_RV rv = call.FindToken(slot, token); rv != CKR_OK)
            return call.Return(rv);
        if (token->type == DEVICE_TYPE_ENCRYPTION_LOCK)
            return call.Return(CKR_TOKEN_WRITE_PROTECTED);
        if (call.State().Sessions().HasAny(slot))
            return call.Return(CKR_SESSION_EXISTS);
        if (token->type == DEVICE_TYPE_PKI) {
            if (CK_RV rv = CheckPin(token->soPin, token->soLeft, token->soMax, pin, pinLength); rv != CKR_OK)
                return call.Return(rv);
        } else if (!PinLengthInRange(pinLength)) {
            return call.Return(CKR_PIN_LEN_RANGE);
        }
        token->type = DEVICE_TYPE_PKI;
        token->soPin = SecureBytes(pin, pinLength);
        token->soMax = token->soMax == 0 ? kDefaultRetries : token->soMax;
        token->soLeft = token->soMax;
        token->userPin = SecureBytes();
        token->label = LabelText(label);
        if (token->misbehaviour & kMisMovesSlot)
            MoveToNextEmptySlot(call.State().Bench(), static_cast<unsigned>(slot));
        return call.Return(CKR_OK);
    });
}

// The session's token and its login; CKR_USER_NOT_LOGGED_IN unless `user` is logged in.
CK_RV LoggedInToken(ModuleCall& call, CK_SESSION_HANDLE handle, CK_USER_TYPE user, VirtualToken*& token) {
    OpenSession session;
    if (CK_RV rv = FindSession(call, handle, session, token); rv != CKR_OK)
        return rv;
    if (call.State().Sessions().LoggedIn(session.slot) != user)
        return CKR_USER_NOT_LOGGED_IN;
    return session.readWrite ? CKR_OK : CKR_SESSION_READ_ONLY;
}

CK_RV InitPinCall(CK_SESSION_HANDLE handle, CK_UTF8CHAR_PTR pin, CK_ULONG pinLength) {
    return Guarded([&] {
        ModuleCall call(kInitPin, OnSession{handle});
        call.Arg("session", handle).Arg("pinlen", pinLength);
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        VirtualToken* token = nullptr;
        if (CK_RV rv = LoggedInToken(call, handle, CKU_SO, token); rv != CKR_OK)
            return call.Return(rv);
        if (pin == nullptr || !PinLengthInRange(pinLength))
            return call.Return(CKR_PIN_LEN_RANGE);
        token->userPin = SecureBytes(pin, pinLength);
        token->userMax = token->userMax == 0 ? kDefaultRetries : token->userMax;
        token->userLeft = token->userMax;
        return call.Return(CKR_OK);
    });
}

// The SO PIN of an SO session; the old PIN is checked as a login checks it.
CK_RV SetPinCall(CK_SESSION_HANDLE handle, CK_UTF8CHAR_PTR oldPin, CK_ULONG oldLength, CK_UTF8CHAR_PTR newPin,
                 CK_ULONG newLength) {
    return Guarded([&] {
        ModuleCall call(kSetPin, OnSession{handle});
        call.Arg("session", handle).Arg("oldlen", oldLength).Arg("newlen", newLength);
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        VirtualToken* token = nullptr;
        if (CK_RV rv = LoggedInToken(call, handle, CKU_SO, token); rv != CKR_OK)
            return call.Return(rv);
        if (CK_RV rv = CheckPin(token->soPin, token->soLeft, token->soMax, oldPin, oldLength); rv != CKR_OK)
            return call.Return(rv);
        if (newPin == nullptr || !PinLengthInRange(newLength))
            return call.Return(CKR_PIN_LEN_RANGE);
        token->soPin = SecureBytes(newPin, newLength);
        return call.Return(CKR_OK);
    });
}

CK_RV FindObjectsInitCall(CK_SESSION_HANDLE handle, CK_ATTRIBUTE_PTR, CK_ULONG) {
    return Guarded([&] {
        ModuleCall call(kFindObjectsInit, OnSession{handle});
        call.Arg("session", handle);
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        OpenSession session;
        VirtualToken* token = nullptr;
        return call.Return(FindSession(call, handle, session, token));
    });
}

CK_RV FindObjectsCall(CK_SESSION_HANDLE handle, CK_OBJECT_HANDLE_PTR, CK_ULONG, CK_ULONG_PTR count) {
    return Guarded([&] {
        ModuleCall call(kFindObjects, OnSession{handle});
        call.Arg("session", handle);
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        if (count == nullptr)
            return call.Return(CKR_ARGUMENTS_BAD);
        *count = 0;
        return call.Return(CKR_OK);
    });
}

CK_RV FindObjectsFinalCall(CK_SESSION_HANDLE handle) {
    return Guarded([&] {
        ModuleCall call(kFindObjectsFinal, OnSession{handle});
        call.Arg("session", handle);
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        return call.Return(CKR_OK);
    });
}

} // namespace

void AddStandardCalls(CK_FUNCTION_LIST& list) {
    list.C_InitToken = &InitTokenCall;
    list.C_InitPIN = &InitPinCall;
    list.C_SetPIN = &SetPinCall;
    list.C_FindObjectsInit = &FindObjectsInitCall;
    list.C_FindObjects = &FindObjectsCall;
    list.C_FindObjectsFinal = &FindObjectsFinalCall;
}
