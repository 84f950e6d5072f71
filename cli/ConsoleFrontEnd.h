#pragma once
// The console as an attempt's front end: it shows nothing while the attempt runs (the outcome
// is written once it has ended) and answers the final-try question on the terminal.
#include "attempt/AttemptFrontEnd.h"

class ConsoleFrontEnd final : public AttemptFrontEnd {
  public:
    void ReportSuccess(bool, std::wstring) override {}
    void ReportFailure(bool, std::wstring) override {}
    // Asked on the terminal (y/N); without one the answer is No.
    bool ConfirmFinalTry() override;
};
