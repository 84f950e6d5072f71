#pragma once
// The console as an attempt's front end: it shows nothing while the attempt runs (the outcome
// is written once it has ended) and answers the final-try question on the terminal.
#include "attempt/AttemptFrontEnd.h"

class ConsoleFrontEnd final : public AttemptFrontEnd {
  public:
    void ShowProgress(std::wstring) override {}
    void ShowOutcome(const AttemptOutcome&) override {}
    // Asked on the terminal (y/N); without one the answer is No.
    bool ConfirmFinalTry() override;
};
