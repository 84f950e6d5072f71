// The standard calls the program and ordinary PKCS#11 clients rely on; the others answer
// CKR_FUNCTION_NOT_SUPPORTED.
#include "standin/Pkcs11Table.h"

#include "standin/CallNames.h"
#include "standin/ModuleCall.h"
#include "standin/SessionCalls.h"
#include "standin/StandardCalls.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

#define VANTOR_NAME_CONSTANT(fn) constexpr char k##fn[] = #fn;
VANTOR_PKCS11_CALLS(VANTOR_NAME_CONSTANT)
#undef VANTOR_NAME_CONSTANT

constexpr auto kWaitPollPeriod = std::chrono::milliseconds(200); // bench file checks while blocked

// Space-padded, not terminated: how PKCS#11 carries its text fields.
template <std::size_t N> void Pad(unsigned char (&field)[N], const std::string& text) {
    std::memset(field, ' ', N);
    std::memcpy(field, text.data(), std::min(N, text.size()));
}

CK_RV InitializeArgsCheck(const CK_C_INITIALIZE_ARGS* args) {
    if (args->pReserved != nullptr)
        return CKR_ARGUMENTS_BAD;
    int supplied = (args->CreateMutex != nullptr) + (args->DestroyMutex != nullptr) +
                   (args->LockMutex != nullptr) + (args->UnlockMutex != nullptr);
    if (supplied != 0 && supplied != 4)
        return CKR_ARGUMENTS_BAD;
    // Only the platform's own locks are used; a caller insisting on its own cannot be served.
    if (supplied == 4 && (args->flags & CKF_OS_LOCKING_OK) == 0)
        return CKR_CANT_LOCK;
    return CKR_OK;
}

CK_RV Initialize(CK_VOID_PTR initArgs) {
    return Guarded([&] {
        ModuleCall call(kC_Initialize);
        call.Arg("args", initArgs != nullptr ? "set" : "null");
        if (call.Forced())
            return call.Return(*call.Forced());
        if (initArgs != nullptr) {
            CK_RV rv = InitializeArgsCheck(static_cast<const CK_C_INITIALIZE_ARGS*>(initArgs));
            if (rv != CKR_OK)
                return call.Return(rv);
        }
        if (call.State().IsInitialized())
            return call.Return(CKR_CRYPTOKI_ALREADY_INITIALIZED);
        call.State().Initialize();
        return call.Return(CKR_OK);
    });
}

CK_RV Finalize(CK_VOID_PTR reserved) {
    return Guarded([&] {
        ModuleCall call(kC_Finalize);
        call.Arg("reserved", reserved != nullptr ? "set" : "null");
        if (call.Forced())
            return call.Return(*call.Forced());
        if (reserved != nullptr)
            return call.Return(CKR_ARGUMENTS_BAD);
        if (!call.State().IsInitialized())
            return call.Return(CKR_CRYPTOKI_NOT_INITIALIZED);
        call.State().Finalize(call.Lock());
        return call.Return(CKR_OK);
    });
}

CK_RV GetInfo(CK_INFO_PTR info) {
    return Guarded([&] {
        ModuleCall call(kC_GetInfo);
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        if (info == nullptr)
            return call.Return(CKR_ARGUMENTS_BAD);
        std::memset(info, 0, sizeof *info);
        info->cryptokiVersion = CK_VERSION{2, 20};
        Pad(info->manufacturerID, "Vantor");
        Pad(info->libraryDescription, "Orbel USBKey stand-in module");
        info->libraryVersion = CK_VERSION{1, 0};
        return call.Return(CKR_OK);
    });
}

CK_RV GetSlotList(CK_BBOOL tokenPresent, CK_SLOT_ID_PTR list, CK_ULONG_PTR count) {
    return Guarded([&] {
        ModuleCall call(kC_GetSlotList);
        call.Arg("present", tokenPresent ? 1 : 0);
        if (count != nullptr)
            call.Arg("count", *count);
        else
            call.Arg("count", "null");
        if (list == nullptr)
            call.Arg("list", "null");
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        if (count == nullptr)
            return call.Return(CKR_ARGUMENTS_BAD);
        std::vector<CK_SLOT_ID> slots = call.State().Bench().ListSlots(tokenPresent != CK_FALSE);
        call.Out("found", slots.size());
        CK_ULONG room = *count;
        *count = slots.size();
        if (list == nullptr)
            return call.Return(CKR_OK);
        if (room < slots.size())
            return call.Return(CKR_BUFFER_TOO_SMALL);
        std::copy(slots.begin(), slots.end(), list);
        return call.Return(CKR_OK);
    });
}

CK_RV GetSlotInfo(CK_SLOT_ID slot, CK_SLOT_INFO_PTR info) {
    return Guarded([&] {
        ModuleCall call(kC_GetSlotInfo, slot);
        call.Arg("slot", slot);
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        if (info == nullptr)
            return call.Return(CKR_ARGUMENTS_BAD);
        VirtualBench& bench = call.State().Bench();
        if (!bench.IsSlot(slot))
            return call.Return(CKR_SLOT_ID_INVALID);
        std::memset(info, 0, sizeof *info);
        Pad(info->slotDescription, "Orbel USBKey virtual reader " + std::to_string(slot));
        Pad(info->manufacturerID, "Vantor");
        info->flags = CKF_REMOVABLE_DEVICE | CKF_HW_SLOT;
        if (bench.TokenIn(slot) != nullptr)
            info->flags |= CKF_TOKEN_PRESENT;
        info->hardwareVersion = CK_VERSION{1, 0};
        info->firmwareVersion = CK_VERSION{1, 0};
        return call.Return(CKR_OK);
    });
}

CK_FLAGS TokenFlags(const VirtualToken& token) {
    switch (token.type) {
    case DEVICE_TYPE_PKI: {
        CK_FLAGS flags = CKF_LOGIN_REQUIRED;
        if (!(token.misbehaviour & kMisHidesInitialised))
            flags |= CKF_TOKEN_INITIALIZED;
        if (!token.userPin.empty())
            flags |= CKF_USER_PIN_INITIALIZED;
        if (token.soLeft == 0)
            flags |= CKF_SO_PIN_LOCKED;
        else if (token.soLeft == 1)
            flags |= CKF_SO_PIN_FINAL_TRY;
        else if (token.soLeft < token.soMax)
            flags |= CKF_SO_PIN_COUNT_LOW;
        if (token.userLeft == 0)
            flags |= CKF_USER_PIN_LOCKED;
        else if (token.userLeft == 1)
            flags |= CKF_USER_PIN_FINAL_TRY;
        else if (token.userLeft < token.userMax)
            flags |= CKF_USER_PIN_COUNT_LOW;
        return flags;
    }
    case DEVICE_TYPE_ENCRYPTION_LOCK:
        return CKF_WRITE_PROTECTED;
    default:
        return 0; // blank or unrecognised: not initialised for PKI use
    }
}

CK_RV GetTokenInfo(CK_SLOT_ID slot, CK_TOKEN_INFO_PTR info) {
    return Guarded([&] {
        ModuleCall call(kC_GetTokenInfo, slot);
        call.Arg("slot", slot);
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        if (info == nullptr)
            return call.Return(CKR_ARGUMENTS_BAD);
        VirtualToken* token = nullptr;
        if (CK_RV rv = call.FindToken(slot, token); rv != CKR_OK)
            return call.Return(rv);
        std::memset(info, 0, sizeof *info);
        // A module may append to the label what it likes, where the padding was.
        Pad(info->label, token->misbehaviour & kMisLabelSuffix && !token->label.empty() ? token->label + " #1"
                                                                                        : token->label);
        Pad(info->manufacturerID, "Orbel");
        Pad(info->model, "USBKey");
        Pad(info->serialNumber, SerialHex(*token));
        info->flags = TokenFlags(*token);
        if (token->misbehaviour & kMisPinPad)
            info->flags |= CKF_PROTECTED_AUTHENTICATION_PATH;
        info->ulMaxSessionCount = CK_EFFECTIVELY_INFINITE;
        info->ulSessionCount = 0;
        info->ulMaxRwSessionCount = CK_EFFECTIVELY_INFINITE;
        info->ulRwSessionCount = 0;
        info->ulMaxPinLen = kPinMaxBytes;
        info->ulMinPinLen = kPinMinBytes;
        info->ulTotalPublicMemory = token->publicSize;
        info->ulFreePublicMemory = token->publicSize;
        info->ulTotalPrivateMemory = token->privateSize;
        info->ulFreePrivateMemory = token->privateSize;
        info->hardwareVersion = CK_VERSION{1, 0};
        info->firmwareVersion = CK_VERSION{token->cos[0], token->cos[1]};
        std::memset(info->utcTime, ' ', sizeof info->utcTime); // no clock on the token
        return call.Out("flags", info->flags).Return(CKR_OK);
    });
}

// A C_WaitForSlotEvent that blocks, counted so that C_Finalize can wait for it to leave.
class BlockedWait {
  public:
    explicit BlockedWait(ModuleState& state) : m_state(state), m_generation(state.Generation()) {
        state.EnterWait();
    }
    ~BlockedWait() { m_state.LeaveWait(); }
    BlockedWait(const BlockedWait&) = delete;
    BlockedWait& operator=(const BlockedWait&) = delete;
    // C_Finalize ran meanwhile, whatever happened after it.
    bool Ended() const { return !m_state.IsInitialized() || m_state.Generation() != m_generation; }

  private:
    ModuleState& m_state;
    const unsigned m_generation;
};

CK_RV WaitForSlotEvent(CK_FLAGS flags, CK_SLOT_ID_PTR slot, CK_VOID_PTR reserved) {
    return Guarded([&] {
        ModuleCall call(kC_WaitForSlotEvent);
        call.Arg("flags", flags);
        ModuleState& state = call.State();
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        if (slot == nullptr || reserved != nullptr)
            return call.Return(CKR_ARGUMENTS_BAD);
        if (flags & CKF_DONT_BLOCK) {
            auto event = state.Bench().TakeEvent();
            if (!event)
                return call.Return(CKR_NO_EVENT);
            *slot = *event;
            return call.Out("slot", *event).Return(CKR_OK);
        }
        BlockedWait wait(state);
        for (;;) {
            if (auto event = state.Bench().TakeEvent()) {
                *slot = *event;
                return call.Out("slot", *event).Return(CKR_OK);
            }
            // The wait gives the mutex up; the bench file is looked at now and then meanwhile.
            state.Changed().wait_for(call.Lock(), kWaitPollPeriod);
            if (wait.Ended())
                return call.Return(CKR_CRYPTOKI_NOT_INITIALIZED);
            state.PollBenchFile();
        }
    });
}

CK_FUNCTION_LIST MakeFunctionList() {
    CK_FUNCTION_LIST list{};
    list.version = CK_VERSION{2, 20};
#define VANTOR_UNSUPPORTED_ENTRY(fn) list.fn = &Unsupported<CK_##fn, k##fn>::Call;
    VANTOR_PKCS11_CALLS(VANTOR_UNSUPPORTED_ENTRY)
#undef VANTOR_UNSUPPORTED_ENTRY
    list.C_Initialize = &Initialize;
    list.C_Finalize = &Finalize;
    list.C_GetInfo = &GetInfo;
    list.C_GetFunctionList = &C_GetFunctionList;
    list.C_GetSlotList = &GetSlotList;
    list.C_GetSlotInfo = &GetSlotInfo;
    list.C_GetTokenInfo = &GetTokenInfo;
    list.C_WaitForSlotEvent = &WaitForSlotEvent;
    // Functions are never run in parallel with their sessions (the v2.0 legacy pair).
    list.C_GetFunctionStatus =
        &Unsupported<CK_C_GetFunctionStatus, kC_GetFunctionStatus, CKR_FUNCTION_NOT_PARALLEL>::Call;
    list.C_CancelFunction =
        &Unsupported<CK_C_CancelFunction, kC_CancelFunction, CKR_FUNCTION_NOT_PARALLEL>::Call;
    AddSessionCalls(list);
    AddStandardCalls(list);
    return list;
}

} // namespace

CK_FUNCTION_LIST* StandinFunctionList() {
    static CK_FUNCTION_LIST list = MakeFunctionList();
    return &list;
}
