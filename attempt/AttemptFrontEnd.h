#pragma once
// Whoever shows attempts to an operator: a page, a station's tile or the console. It shows what
// it is told and answers the one question; it decides nothing.
#include "attempt/AttemptOutcome.h"

#include <string>

class AttemptFrontEnd {
  public:
    // While the token works: an uncounted text in the status colour (black).
    virtual void ShowProgress(std::wstring text) = 0;
    // The attempt's end as the runner made it, ledger line written: its text in the status
    // colour or red (IsShownAsSuccess), counted or not.
    virtual void ShowOutcome(const AttemptOutcome& outcome) = 0;
    // A batch run has begun, or an attempt of it has found its token: Start disabled, Stop
    // enabled. The one declaration for a run's view (the operation's report is AttemptProgress's).
    virtual void ShowRunning() {}
    // The module answered and the token is being read back (a station's tile shows it).
    virtual void ShowVerifying() {}
    // Single run, the SO PIN has one try left: the page's Yes/No box, the console's y/N
    // prompt. No is the default.
    virtual bool ConfirmFinalTry() { return false; }

  protected:
    ~AttemptFrontEnd() = default;
};
