// The workbench's gate: a member holding the module holds every member's Start, and each change
// brings every member's Start up to date, including after a member has left.
#include "workbench/RunGate.h"

#include <gtest/gtest.h>

namespace {

struct Member final : RunGate::Member {
    bool HoldsModule() const override { return bHolds; }
    bool IsBusy() const override { return bBusy; }
    void RefreshStart() override { ++refreshed; }
    bool bHolds = false, bBusy = false;
    int refreshed = 0;
};

TEST(RunGate, OneHolderHoldsEveryStart) {
    RunGate gate;
    Member page, station;
    gate.Join(page);
    gate.Join(station);
    EXPECT_FALSE(gate.IsHeld());
    EXPECT_FALSE(gate.AnyBusy());
    station.bHolds = station.bBusy = true;
    gate.Changed();
    EXPECT_TRUE(gate.IsHeld());
    EXPECT_TRUE(gate.AnyBusy());
    EXPECT_EQ(page.refreshed, 1);
    gate.Leave(station);
    gate.Changed();
    EXPECT_FALSE(gate.IsHeld()) << "a member that left holds nothing";
    EXPECT_EQ(page.refreshed, 2);
    EXPECT_EQ(station.refreshed, 1);
}

} // namespace
