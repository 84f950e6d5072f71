// Churn: slot events that pull and plug a token as the program takes them, so that the
// attempt an event starts sees the state that event announced.
#include "StandinTest.h"

#include <future>

namespace {

class Churn : public StandinTest {
  protected:
    void SetUp() override {
        StandinTest::SetUp();
        Init();
    }
    // The next event without blocking; -1 for CKR_NO_EVENT, -2 for anything else.
    long NextEvent() {
        CK_SLOT_ID slot = 99;
        CK_RV rv = f->C_WaitForSlotEvent(CKF_DONT_BLOCK, &slot, nullptr);
        if (rv == CKR_NO_EVENT)
            return -1;
        return rv == CKR_OK ? static_cast<long>(slot) : -2;
    }
    std::vector<CK_SLOT_ID> Present() {
        std::vector<CK_SLOT_ID> slots;
        EXPECT_EQ(CKR_OK, List(slots));
        return slots;
    }
    std::string TypeIn(int slot) { return standin.Fields("token " + std::to_string(slot))["type"]; }
};

TEST_F(Churn, EachEventOnceAndTheListingFollowsItsDirection) {
    Do("churn 2 5 type=blank");
    EXPECT_EQ("5", standin.Query("events"));
    // Nothing changes before the program takes an event.
    EXPECT_TRUE(Present().empty());
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(2, NextEvent()) << "event " << i;
        const bool plugged = i % 2 == 0;
        EXPECT_EQ(plugged ? std::vector<CK_SLOT_ID>{2} : std::vector<CK_SLOT_ID>{}, Present()) << i;
        if (plugged) {
            EXPECT_EQ("4", TypeIn(2));
        }
        EXPECT_EQ(std::to_string(4 - i), standin.Query("events"));
    }
    EXPECT_EQ(-1, NextEvent());
    EXPECT_EQ((std::vector<CK_SLOT_ID>{2}), Present()) << "an odd count ends plugged";
    EXPECT_EQ(5u, CallsOf(standin.Journal(), "C_WaitForSlotEvent").size() - 1);
}

TEST_F(Churn, StartsByPullingAnOccupiedSlotAndPlugsFreshTokens) {
    Do("insert 0");
    ASSERT_EQ(0, NextEvent());
    Do("churn 0 3 so=abcd");
    ASSERT_EQ(0, NextEvent());
    EXPECT_TRUE(Present().empty());
    ASSERT_EQ(0, NextEvent());
    ASSERT_EQ("1", TypeIn(0));
    // What the program does to a plugged token does not carry over to the next one.
    CK_BYTE pin[] = "abcd";
    ASSERT_EQ(CKR_OK, aux->E_InitBlankToken(0, pin, 4));
    ASSERT_EQ("4", TypeIn(0));
    ASSERT_EQ(0, NextEvent());
    EXPECT_TRUE(Present().empty());
    EXPECT_EQ(-1, NextEvent());
}

TEST_F(Churn, KeepsItsPlaceAmongOtherEvents) {
    Do("insert 1\nchurn 3 2\nremove 1\ninsert 4 type=blank");
    EXPECT_EQ("5", standin.Query("events"));
    std::vector<long> events;
    std::vector<std::vector<CK_SLOT_ID>> seen;
    for (long slot; (slot = NextEvent()) >= 0;) {
        events.push_back(slot);
        seen.push_back(Present());
    }
    EXPECT_EQ((std::vector<long>{1, 3, 3, 1, 4}), events);
    // Plain events change the bench when they are queued, churn events when they are taken.
    EXPECT_EQ((std::vector<CK_SLOT_ID>{4}), seen[0]);
    EXPECT_EQ((std::vector<CK_SLOT_ID>{3, 4}), seen[1]);
    EXPECT_EQ((std::vector<CK_SLOT_ID>{4}), seen[2]);
}

TEST_F(Churn, BlockingWaitTakesChurnEventsToo) {
    Do("churn 7 2");
    CK_SLOT_ID slot = 0;
    auto wait = std::async(std::launch::async, [&] { return f->C_WaitForSlotEvent(0, &slot, nullptr); });
    ASSERT_EQ(std::future_status::ready, wait.wait_for(std::chrono::seconds(20)));
    EXPECT_EQ(CKR_OK, wait.get());
    EXPECT_EQ(CK_SLOT_ID{7}, slot);
    EXPECT_EQ((std::vector<CK_SLOT_ID>{7}), Present());
}

TEST_F(Churn, DroppedByResetInitialiseAndShrinkingTheBench) {
    Do("churn 0 4");
    Do("reset");
    EXPECT_EQ("0", standin.Query("events"));
    EXPECT_EQ(-1, NextEvent());
    EXPECT_TRUE(Present().empty());

    Do("churn 0 4");
    ASSERT_EQ(CKR_OK, f->C_Finalize(nullptr));
    Init();
    EXPECT_EQ(-1, NextEvent());

    Do("churn 10 4\ninsert 2\nchurn 12 1");
    Do("slots 8");
    EXPECT_EQ("1", standin.Query("events"));
    EXPECT_EQ(2, NextEvent());
    EXPECT_EQ(-1, NextEvent());
}

TEST_F(Churn, RefusedLinesQueueNothing) {
    const char* refused[] = {"churn 16 2", "churn 0 2 so-max=3 so-left=4", "churn 0 0", "churn 0"};
    for (const char* line : refused)
        EXPECT_NE(0, standin.Command(line)) << line;
    EXPECT_EQ("0", standin.Query("events"));
}

} // namespace
