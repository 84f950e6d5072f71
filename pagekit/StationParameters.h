#pragma once
// What an initialisation page gives the station for its operation: the same job a batch run
// of the page would do, checked by the page's own rules.
#include "attempt/Job.h"

#include <string>

struct StationParameters {
    // What the child that handles one token does (vantor-cli slot-attempt, through
    // attempt/JobCodec.h), the PINs included.
    Job job;
    // A page check refused the parameters with this text, which the page would show on its
    // status line; empty when the refusal was a field's message box (or none).
    std::wstring refusal;
};
