#pragma once
// What a front end adds to the bench's module, ledger and stock list to start a station.
#include "attempt/AttemptRunner.h"
#include "station/Station.h"

#include <chrono>
#include <string>
#include <vector>

struct StationOptions {
    std::wstring childProgram;              // the program every child runs (vantor-cli)
    std::wstring modulePath;                // the module every child binds; empty: the child's own search
    std::vector<std::wstring> pinVariables; // left out of every child's environment
    StopNote stopNote = StopNote::InMessage;
    std::chrono::milliseconds limit = kStationDefaultLimit; // an attempt still running is killed
    unsigned long maxTokens = 0;                            // the taking ends after this many; 0: none
};
