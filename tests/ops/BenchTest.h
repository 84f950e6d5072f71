#pragma once
// A fresh binding to the stand-in with an empty bench for every test.
#include "RecordingReporter.h"
#include "wipe/WipeToken.h"
#include "StandInBench.h"
#include "StatusTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Calls = std::vector<std::string>;
using Reports = std::vector<Report>;

class BenchTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(bench.Bind()) << bench.Error(); }
    void TearDown() override { bench.Unbind(); }

    // Runs bench lines, failing the test on any line the stand-in refuses.
    void Do(const std::string& lines) { ASSERT_TRUE(bench.Command(lines)) << bench.Error(); }
    // The first journal line of `name`; fails the test when there is none.
    JournalCall CallOf(const std::string& name) const {
        for (const JournalCall& call : bench.Journal())
            if (call.name == name)
                return call;
        ADD_FAILURE() << name << " was not called";
        return JournalCall{};
    }

    StandInBench bench;
    RecordingReporter reporter;
};
