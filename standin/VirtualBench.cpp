#include "VirtualBench.h"

#include <algorithm>

void VirtualBench::Reset() {
    m_slots.assign(kBenchDefaultSlots, std::nullopt);
    m_events.clear();
}

void VirtualBench::SetSlotCount(unsigned count) {
    m_slots.resize(count);
    m_events.erase(
        std::remove_if(m_events.begin(), m_events.end(), [count](CK_SLOT_ID s) { return s >= count; }),
        m_events.end());
}

bool VirtualBench::Insert(unsigned slot, VirtualToken token) {
    if (!IsSlot(slot))
        return false;
    Remove(slot);
    m_slots[slot] = std::move(token);
    m_events.push_back(slot);
    return true;
}

bool VirtualBench::Remove(unsigned slot) {
    if (!IsSlot(slot))
        return false;
    if (m_slots[slot]) {
        m_slots[slot].reset();
        m_events.push_back(slot);
    }
    return true;
}

VirtualToken* VirtualBench::TokenIn(CK_SLOT_ID slot) {
    return const_cast<VirtualToken*>(static_cast<const VirtualBench&>(*this).TokenIn(slot));
}

const VirtualToken* VirtualBench::TokenIn(CK_SLOT_ID slot) const {
    if (!IsSlot(slot) || !m_slots[slot])
        return nullptr;
    return &*m_slots[slot];
}

std::vector<CK_SLOT_ID> VirtualBench::ListSlots(bool tokenPresentOnly) const {
    std::vector<CK_SLOT_ID> slots;
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        if (!tokenPresentOnly || m_slots[i])
            slots.push_back(i);
    }
    return slots;
}

std::optional<CK_SLOT_ID> VirtualBench::TakeEvent() {
    if (m_events.empty())
        return std::nullopt;
    CK_SLOT_ID slot = m_events.front();
    m_events.pop_front();
    return slot;
}
