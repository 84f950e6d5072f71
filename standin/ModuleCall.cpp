#include "standin/ModuleCall.h"

#include <chrono>
#include <cstdio>
#include <cstdint>

ModuleCall::ModuleCall(const char* name)
    : m_state(ModuleState::Instance()), m_name(name), m_lock(m_state.Mutex()) {
    // Lines appended to the bench file take effect before this call is answered, so a
    // "fail" written for the next call applies to this one.
    m_state.PollBenchFile();
    CallFaults::Plan plan = m_state.Faults().Take(name);
    m_forced = plan.forced;
    if (plan.delayMs != 0) {
        // The mutex is free while the call sleeps; a new delay for any call ends the sleep,
        // so a long delay holds a call inside the module until the bench lets it go.
        const std::uint64_t changes = m_state.Faults().DelayChanges();
        m_state.Changed().wait_for(m_lock, std::chrono::milliseconds(plan.delayMs),
                                   [&] { return m_state.Faults().DelayChanges() != changes; });
    }
}

ModuleCall& ModuleCall::Arg(const char* key, unsigned long value) {
    return Arg(key, std::to_string(value).c_str());
}

ModuleCall& ModuleCall::Arg(const char* key, const char* text) {
    m_args += ' ';
    m_args += key;
    m_args += '=';
    m_args += text;
    return *this;
}

ModuleCall& ModuleCall::Out(const char* key, unsigned long value) {
    m_outs += ' ';
    m_outs += key;
    m_outs += '=';
    m_outs += std::to_string(value);
    return *this;
}

std::optional<CK_RV> ModuleCall::EarlyAnswer() const {
    if (m_forced)
        return m_forced;
    if (!m_state.IsInitialized())
        return CKR_CRYPTOKI_NOT_INITIALIZED;
    return std::nullopt;
}

CK_RV ModuleCall::FindToken(CK_SLOT_ID slot, VirtualToken*& token) {
    VirtualBench& bench = m_state.Bench();
    if (!bench.IsSlot(slot))
        return CKR_SLOT_ID_INVALID;
    token = bench.TokenIn(slot);
    return token != nullptr ? CKR_OK : CKR_TOKEN_NOT_PRESENT;
}

CK_RV ModuleCall::Return(CK_RV rv) {
    char result[24];
    std::snprintf(result, sizeof result, " rv=0x%08lX", static_cast<unsigned long>(rv));
    m_state.Record(m_name + m_args + result + m_outs);
    return rv;
}
