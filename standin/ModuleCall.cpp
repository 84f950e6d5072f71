#include "standin/ModuleCall.h"

#include "standin/TokenStateLine.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdint>

namespace {

constexpr auto kHoldPollPeriod = std::chrono::milliseconds(200); // bench file checks while held

} // namespace

ModuleCall::ModuleCall(const char* name)
    : m_state(ModuleState::Instance()), m_name(name), m_lock(m_state.Mutex()) {
    Begin(std::nullopt);
}

ModuleCall::ModuleCall(const char* name, CK_SLOT_ID slot)
    : m_state(ModuleState::Instance()), m_name(name), m_lock(m_state.Mutex()) {
    Begin(slot);
}

ModuleCall::ModuleCall(const char* name, OnSession session)
    : m_state(ModuleState::Instance()), m_name(name), m_lock(m_state.Mutex()) {
    const OpenSession* open = m_state.Sessions().Find(session.handle);
    Begin(open != nullptr ? std::optional<CK_SLOT_ID>(open->slot) : std::nullopt);
}

void ModuleCall::Begin(std::optional<CK_SLOT_ID> slot) {
    // Lines appended to the bench file take effect before this call is answered, so a
    // "fail" written for the next call applies to this one.
    m_state.PollBenchFile();
    CallTarget target{slot, std::nullopt};
    if (slot) {
        if (const VirtualToken* token = m_state.Bench().TokenIn(*slot))
            target.serial = token->serial;
    }
    CallFaults::Plan plan = m_state.Faults().Take(m_name, target);
    m_forced = plan.forced;
    if (plan.hold.rule != 0)
        Hold(target, plan.hold);
    if (slot && m_state.SharesBench()) {
        if (const VirtualToken* token = m_state.Bench().TokenIn(*slot))
            m_before = Before{*slot, token->insertion, StateOf(*token)};
    }
}

void ModuleCall::Hold(const CallTarget& target, const CallFaults::Hold& hold) {
    // The mutex is free while the call is held. It ends when its time is up or when the
    // bench replaces or drops the rule that holds it (a later delay or hang of that call,
    // clear-faults, reset), whether through a command or a line of the bench file.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(hold.milliseconds);
    m_state.EnterHold();
    struct Leave {
        ModuleState& state;
        ~Leave() { state.LeaveHold(); }
    } leave{m_state};
    while (m_state.Faults().HoldFor(m_name, target).rule == hold.rule) {
        auto slice = kHoldPollPeriod;
        if (!hold.forever) {
            const auto left = end - std::chrono::steady_clock::now();
            if (left <= left.zero())
                return;
            slice = std::min(slice, std::chrono::duration_cast<std::chrono::milliseconds>(left) +
                                        std::chrono::milliseconds(1));
        }
        m_state.Changed().wait_for(m_lock, slice);
        m_state.PollBenchFile();
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
    if (m_before) {
        // Published before the journal line: who sees the call has returned sees its effect.
        const VirtualToken* token = m_state.Bench().TokenIn(m_before->slot);
        if (token != nullptr && token->insertion == m_before->insertion &&
            !SameState(StateOf(*token), m_before->state))
            m_state.PublishState(static_cast<unsigned>(m_before->slot), *token);
    }
    char result[24];
    std::snprintf(result, sizeof result, " rv=0x%08lX", static_cast<unsigned long>(rv));
    m_state.Record(m_name + m_args + result + m_outs);
    return rv;
}
