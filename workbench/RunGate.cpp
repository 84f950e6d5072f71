#include "workbench/RunGate.h"

#include <algorithm>

void RunGate::Join(Member& member) {
    m_members.push_back(&member);
}

void RunGate::Leave(Member& member) {
    m_members.erase(std::remove(m_members.begin(), m_members.end(), &member), m_members.end());
}

bool RunGate::IsHeld() const {
    return std::any_of(m_members.begin(), m_members.end(), [](const Member* m) { return m->HoldsModule(); });
}

bool RunGate::AnyBusy() const {
    return std::any_of(m_members.begin(), m_members.end(), [](const Member* m) { return m->IsBusy(); });
}

void RunGate::Changed() {
    // A copy: a member may leave while it refreshes.
    const std::vector<Member*> members = m_members;
    for (Member* member : members)
        member->RefreshStart();
}
