// Several threads in the module at once: no lost and no doubled slot event while tokens come
// and go; a call held by a delay or hang keeps only its own token.
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

// Waits until the module holds `count` calls (the "held" query).
void WaitHeld(StandinHandle& standin, const std::string& count) {
    while (standin.Query("held") != count)
        std::this_thread::yield();
}

// Guards against a held call blocking the module: while one token's call hangs and another
// token's sleeps, the other tokens and the slot-less calls go on, and each held call is
// released by its own rule being lifted, then answers as usual.
TEST_F(StandinThreads, HeldCallsHoldOnlyTheirOwnToken) {
    Do("insert 0\ninsert 1\ninsert 2 serial=00000000000000C2\n"
       "hang E_InitPkiToken slot=0\ndelay E_GetDeviceInfo 600000 serial=00000000000000C2");
    Init();
    PkiRequest hungRequest;
    auto hung = std::async(std::launch::async, [&] { return aux->E_InitPkiToken(0, hungRequest.Record()); });
    auto sleeping = std::async(std::launch::async, [&] {
        DEVICE_INFO info{};
        return aux->E_GetDeviceInfo(2, &info);
    });
    WaitHeld(standin, "2");

    std::vector<CK_SLOT_ID> slots;
    EXPECT_EQ(CKR_OK, List(slots)); // slot-less: a slot= or serial= filter never holds it
    EXPECT_EQ((std::vector<CK_SLOT_ID>{0, 1, 2}), slots);
    PkiRequest other;
    EXPECT_EQ(CKR_OK, aux->E_InitPkiToken(1, other.Record()));
    DEVICE_INFO info{};
    EXPECT_EQ(CKR_OK, aux->E_GetDeviceInfo(1, &info));
    CK_SESSION_HANDLE session = 0;
    ASSERT_EQ(CKR_OK, f->C_OpenSession(0, CKF_SERIAL_SESSION, nullptr, nullptr, &session)); // another call
    EXPECT_EQ(CKR_OK, f->C_CloseSession(session));
    EXPECT_EQ(1u, CallsOf(standin.Journal(), "E_InitPkiToken").size()); // slot 1's only
    EXPECT_EQ("2", standin.Query("held"));

    Do("delay E_InitPkiToken 0 slot=0"); // lifts the hang of slot 0 only
    EXPECT_EQ(CKR_OK, hung.get());
    EXPECT_EQ("1", standin.Query("held"));
    Do("delay E_GetDeviceInfo 600000"); // another filter: the serial's own delay still applies
    EXPECT_EQ("1", standin.Query("held"));
    Do("clear-faults");
    EXPECT_EQ(CKR_OK, sleeping.get());
    EXPECT_EQ("0", standin.Query("held"));
}

// Guards against a filter that holds the wrong calls, or a refused rule that still applies.
TEST_F(StandinThreads, FiltersNameOneTokenOrOneSlot) {
    EXPECT_NE(0, standin.Command("hang E_InitPkiToken slot=64"));
    EXPECT_NE(0, standin.Command("hang E_InitPkiToken serial=00C2"));
    EXPECT_NE(0, standin.Command("delay E_InitPkiToken 5 slot=1 slot=2"));
    EXPECT_NE(0, standin.Command("hang E_NoSuchCall"));
    Do("insert 0\ninsert 1\nhang C_GetTokenInfo slot=1\nhang C_Login serial=01A2120C18003C01");
    Init();
    CK_TOKEN_INFO token{};
    EXPECT_EQ(CKR_OK, f->C_GetTokenInfo(0, &token));
    CK_SESSION_HANDLE session = 0;
    ASSERT_EQ(CKR_OK, f->C_OpenSession(0, CKF_SERIAL_SESSION | CKF_RW_SESSION, nullptr, nullptr, &session));
    auto login = std::async(std::launch::async, [&] {
        return f->C_Login(session, CKU_USER, reinterpret_cast<CK_UTF8CHAR_PTR>(const_cast<char*>("5820")), 4);
    });
    WaitHeld(standin, "1"); // the session's token has that serial
    Do("remove 0");         // a held call finds the state as it is when it is let go
    Do("hang C_Login serial=01A2120C18003C01");
    EXPECT_EQ(CKR_SESSION_HANDLE_INVALID, login.get());
    Do("clear-faults");
}

} // namespace
