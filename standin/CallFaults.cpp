#include "standin/CallFaults.h"

void CallFaults::Fail(const std::string& call, CK_RV result, bool always, unsigned skip) {
    m_forced[call] = Forced{result, always, skip};
}

void CallFaults::Delay(const std::string& call, std::uint32_t milliseconds) {
    ++m_delayChanges;
    if (milliseconds == 0)
        m_delays.erase(call);
    else
        m_delays[call] = milliseconds;
}

void CallFaults::Clear() {
    ++m_delayChanges;
    m_forced.clear();
    m_delays.clear();
}

CallFaults::Plan CallFaults::Take(std::string_view call) {
    Plan plan;
    if (auto delay = m_delays.find(call); delay != m_delays.end())
        plan.delayMs = delay->second;
    if (auto forced = m_forced.find(call); forced != m_forced.end()) {
        if (forced->second.skip != 0) {
            --forced->second.skip;
            return plan;
        }
        plan.forced = forced->second.result;
        if (!forced->second.always)
            m_forced.erase(forced);
    }
    return plan;
}
