#include "standin/CallFaults.h"

#include <algorithm>

namespace {

bool Matches(const TokenFilter& filter, const CallTarget& target) {
    return (!filter.slot || (target.slot && *target.slot == *filter.slot)) &&
           (!filter.serial || (target.serial && *target.serial == *filter.serial));
}

int Specificity(const TokenFilter& filter) {
    return (filter.serial ? 2 : 0) + (filter.slot ? 1 : 0);
}

} // namespace

void CallFaults::Fail(const std::string& call, CK_RV result, bool always, unsigned skip) {
    m_forced[call] = Forced{result, always, skip};
}

void CallFaults::SetHold(const std::string& call, const TokenFilter& filter, std::optional<Hold> hold) {
    m_holds.erase(
        std::remove_if(m_holds.begin(), m_holds.end(),
                       [&](const HoldRule& rule) { return rule.call == call && rule.filter == filter; }),
        m_holds.end());
    if (!hold)
        return;
    hold->rule = ++m_lastRule; // a new rule, even with the same values: held calls start over
    m_holds.push_back(HoldRule{call, filter, *hold});
}

void CallFaults::Delay(const std::string& call, std::uint32_t milliseconds, const TokenFilter& filter) {
    SetHold(call, filter,
            milliseconds == 0 ? std::nullopt : std::optional<Hold>(Hold{0, false, milliseconds}));
}

void CallFaults::Hang(const std::string& call, const TokenFilter& filter) {
    SetHold(call, filter, Hold{0, true, 0});
}

void CallFaults::Clear() {
    m_forced.clear();
    m_holds.clear();
}

CallFaults::Hold CallFaults::HoldFor(std::string_view call, const CallTarget& target) const {
    const HoldRule* best = nullptr;
    for (const HoldRule& rule : m_holds) {
        if (rule.call == call && Matches(rule.filter, target) &&
            (best == nullptr || Specificity(rule.filter) > Specificity(best->filter)))
            best = &rule;
    }
    return best != nullptr ? best->hold : Hold{};
}

CallFaults::Plan CallFaults::Take(std::string_view call, const CallTarget& target) {
    Plan plan;
    plan.hold = HoldFor(call, target);
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
