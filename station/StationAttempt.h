#pragma once
// One token's attempt as the runner's operation: its child process started, its progress
// passed on, its result line read; a child that overstays its limit is killed and the attempt
// ends as timed out, one that ends without a result line as a failure of its own.
#include "station/Station.h"
#include "token/AttemptProgress.h"
#include "token/AttemptResult.h"

struct StationToken {
    CK_SLOT_ID slot = 0;
    std::wstring serial;
};

AttemptResult RunChildAttempt(const StationSettings& settings, const StationToken& token,
                              AttemptProgress& progress);
