#pragma once
// One call into the module, from entry to journal line. Construction takes the mutex and
// holds the call for its injected delay or hang with the mutex free, so that calls on other
// tokens go on meanwhile; the rest of the call runs under the mutex.
#include "standin/ModuleState.h"

#include <new>
#include <optional>
#include <string>

// The session a call names, for the delays and hangs of its token's slot.
struct OnSession {
    CK_SESSION_HANDLE handle;
};

class ModuleCall {
  public:
    // A call that names no slot: only delays and hangs without a filter hold it.
    explicit ModuleCall(const char* name);
    ModuleCall(const char* name, CK_SLOT_ID slot);
    ModuleCall(const char* name, OnSession session);
    ModuleCall(const ModuleCall&) = delete;
    ModuleCall& operator=(const ModuleCall&) = delete;

    // Arguments as received, written before the result. Never pass a PIN value.
    ModuleCall& Arg(const char* key, unsigned long value);
    ModuleCall& Arg(const char* key, const char* text);
    // What the call hands back, written after the result.
    ModuleCall& Out(const char* key, unsigned long value);

    // A result forced by the bench: the call must do nothing and answer this.
    const std::optional<CK_RV>& Forced() const { return m_forced; }
    // What a call answers before looking at its arguments: the forced result, or
    // CKR_CRYPTOKI_NOT_INITIALIZED outside C_Initialize .. C_Finalize. Nothing: go on.
    std::optional<CK_RV> EarlyAnswer() const;
    // The token in a slot: CKR_SLOT_ID_INVALID or CKR_TOKEN_NOT_PRESENT when there is none.
    CK_RV FindToken(CK_SLOT_ID slot, VirtualToken*& token);
    ModuleState& State() { return m_state; }
    std::unique_lock<std::mutex>& Lock() { return m_lock; }

    // Writes the journal line and hands the result back.
    CK_RV Return(CK_RV rv);

  private:
    // Runs the new bench-file lines, takes the call's plan and holds it as the plan says.
    void Begin(std::optional<CK_SLOT_ID> slot);
    void Hold(const CallTarget& target, const CallFaults::Hold& hold);

    ModuleState& m_state;
    const char* m_name;
    std::unique_lock<std::mutex> m_lock;
    std::optional<CK_RV> m_forced;
    // The call's token as the call found it, when the bench file is shared: a change is published.
    struct Before {
        CK_SLOT_ID slot;
        std::uint64_t insertion;
        TokenState state;
    };
    std::optional<Before> m_before;
    std::string m_args;
    std::string m_outs;
};

// The C boundary: no exception leaves the module.
template <class Body> CK_RV Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return CKR_HOST_MEMORY;
    } catch (...) {
        return CKR_GENERAL_ERROR;
    }
}

// An entry the program never calls: journaled, then `Answer` once initialised (or the
// result the bench forces; CKR_CRYPTOKI_NOT_INITIALIZED before C_Initialize, as every
// implemented call). One instance per name and signature.
template <class Function, const char* Name, CK_RV Answer = CKR_FUNCTION_NOT_SUPPORTED> struct Unsupported;
template <const char* Name, CK_RV Answer, class... Args>
struct Unsupported<CK_RV (*)(Args...), Name, Answer> {
    static CK_RV Call(Args...) {
        return Guarded([] {
            ModuleCall call(Name);
            return call.Return(call.EarlyAnswer().value_or(Answer));
        });
    }
};
