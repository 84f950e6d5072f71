#include "standin/VirtualBench.h"

#include <algorithm>

void VirtualBench::Reset() {
    m_slots.assign(kBenchDefaultSlots, std::nullopt);
    DropEvents();
}

void VirtualBench::DropEvents() {
    m_events.clear();
    m_pending = 0;
}

void VirtualBench::Queue(PendingEvent event) {
    m_pending += event.count;
    m_events.push_back(std::move(event));
}

void VirtualBench::SetSlotCount(unsigned count) {
    m_slots.resize(count);
    m_events.erase(std::remove_if(m_events.begin(), m_events.end(),
                                  [count](const PendingEvent& e) { return e.slot >= count; }),
                   m_events.end());
    m_pending = 0;
    for (const PendingEvent& e : m_events)
        m_pending += e.count;
}

bool VirtualBench::Insert(unsigned slot, VirtualToken token) {
    if (!IsSlot(slot))
        return false;
    Remove(slot);
    token.insertion = ++m_insertions;
    m_slots[slot] = std::move(token);
    Queue(PendingEvent{slot, 1, nullptr});
    return true;
}

bool VirtualBench::Remove(unsigned slot) {
    if (!IsSlot(slot))
        return false;
    if (m_slots[slot]) {
        m_slots[slot].reset();
        Queue(PendingEvent{slot, 1, nullptr});
    }
    return true;
}

bool VirtualBench::Churn(unsigned slot, unsigned count, VirtualToken token) {
    if (!IsSlot(slot))
        return false;
    if (count != 0)
        Queue(PendingEvent{slot, count, std::make_shared<const VirtualToken>(std::move(token))});
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
    PendingEvent& event = m_events.front();
    const CK_SLOT_ID slot = event.slot;
    if (event.churnToken) {
        std::optional<VirtualToken>& place = m_slots[slot];
        if (place)
            place.reset();
        else {
            place = *event.churnToken;
            place->insertion = ++m_insertions;
        }
    }
    --m_pending;
    if (--event.count == 0)
        m_events.pop_front();
    return slot;
}
