#pragma once
// The bench: a row of slots, each maybe holding a virtual token, and the slot events that
// plugging and pulling tokens queue. Not thread-safe; the module state guards it.
#include "standin/VirtualToken.h"

#include <deque>
#include <memory>
#include <optional>
#include <vector>

class VirtualBench {
  public:
    VirtualBench() : m_slots(kBenchDefaultSlots) {}

    // Default slot count, no tokens, no pending events.
    void Reset();
    // Fewer slots drop the tokens beyond the new end, without events.
    void SetSlotCount(unsigned count);
    unsigned SlotCount() const { return static_cast<unsigned>(m_slots.size()); }

    // A token into an occupied slot replaces it: one removal and one insertion event.
    bool Insert(unsigned slot, VirtualToken token);
    // Pulling an empty slot changes nothing and queues nothing.
    bool Remove(unsigned slot);
    // Queues `count` events on the slot, each of which pulls its token, or plugs a copy of
    // `token` when it is empty, as it is taken: an operator with infinitely fast hands.
    bool Churn(unsigned slot, unsigned count, VirtualToken token);

    bool IsSlot(CK_SLOT_ID slot) const { return slot < m_slots.size(); }
    // Null when the slot is empty or does not exist.
    VirtualToken* TokenIn(CK_SLOT_ID slot);
    const VirtualToken* TokenIn(CK_SLOT_ID slot) const;
    std::vector<CK_SLOT_ID> ListSlots(bool tokenPresentOnly) const;

    // The oldest pending event's slot, taken off the queue; a churn event changes its slot now.
    std::optional<CK_SLOT_ID> TakeEvent();
    std::size_t PendingEvents() const { return m_pending; }
    void DropEvents();

  private:
    // One plain event, or the rest of a churn on one slot.
    struct PendingEvent {
        CK_SLOT_ID slot;
        std::size_t count = 1;
        std::shared_ptr<const VirtualToken> churnToken; // null: a plain event
    };

    void Queue(PendingEvent event);

    std::vector<std::optional<VirtualToken>> m_slots;
    std::deque<PendingEvent> m_events;
    std::size_t m_pending = 0;
    std::uint64_t m_insertions = 0;
};
