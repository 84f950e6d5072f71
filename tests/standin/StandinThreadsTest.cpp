// Several threads in the module at once while tokens come and go: no crash, no lost and no
// doubled slot event.
#include "StandinTest.h"

#include <atomic>
#include <future>
#include <thread>

namespace {

using StandinThreads = StandinTest;

// Guards against slot events lost or doubled when several threads poll while tokens change.
TEST_F(StandinThreads, EveryEventIsDeliveredExactlyOnce) {
    Init();
    constexpr int kPollers = 3;
    constexpr int kChanges = 1000;
    std::atomic<bool> changing{true};

    // Pollers call what the program calls regularly and collect the events they are given.
    auto poll = [&] {
        std::vector<int> seen(16, 0);
        CK_SLOT_ID slot = 0;
        CK_SLOT_ID slots[10];
        DEVICE_INFO info;
        for (;;) {
            const bool last = !changing.load(); // one full round after the changes have stopped
            CK_RV rv;
            while ((rv = f->C_WaitForSlotEvent(CKF_DONT_BLOCK, &slot, nullptr)) == CKR_OK)
                ++seen.at(slot);
            EXPECT_EQ(CKR_NO_EVENT, rv);
            CK_ULONG count = 10;
            rv = f->C_GetSlotList(CK_TRUE, slots, &count);
            EXPECT_TRUE(rv == CKR_OK || rv == CKR_BUFFER_TOO_SMALL) << rv;
            if (rv == CKR_OK && count > 0) {
                rv = aux->E_GetDeviceInfo(slots[0], &info);
                EXPECT_TRUE(rv == CKR_OK || rv == CKR_TOKEN_NOT_PRESENT) << rv; // may be pulled meanwhile
            }
            if (last)
                return seen;
        }
    };
    std::vector<std::future<std::vector<int>>> pollers;
    for (int i = 0; i < kPollers; ++i)
        pollers.push_back(std::async(std::launch::async, poll));

    // Plug and pull in a fixed pattern; every change is one event for its slot.
    std::vector<int> expected(16, 0);
    std::vector<bool> present(16, false);
    for (int i = 0; i < kChanges; ++i) {
        const int slot = (i * 7) % 16;
        const std::string line = (present[slot] ? "remove " : "insert ") + std::to_string(slot);
        EXPECT_EQ(0, standin.Command(line)); // no ASSERT: the pollers must still be told to stop
        present[slot] = !present[slot];
        ++expected[slot];
        std::this_thread::yield(); // let the pollers in between changes
    }
    changing = false;

    std::vector<int> delivered(16, 0);
    for (auto& poller : pollers) {
        const std::vector<int> seen = poller.get();
        for (int s = 0; s < 16; ++s)
            delivered[s] += seen[s];
    }
    EXPECT_EQ(expected, delivered);
    EXPECT_EQ("0", standin.Query("events"));
}

} // namespace
