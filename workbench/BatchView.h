#pragma once
// What a batch run shows to its front end and what that front end grants it. The workbench
// drives the run on the caller's thread (the page's worker, the console's main thread) and
// calls these there; a page carries them over to its window's thread. That the run has begun
// is AttemptFrontEnd::ShowRunning.
#include "attempt/AttemptFrontEnd.h"
#include "attempt/AttemptRunner.h"
#include "token/TokenModule.h"

#include <string>

class BatchView : public AttemptFrontEnd {
  public:
    // The bench's binding, read anew at every use where it may be replaced; null: none.
    virtual TokenModule* Binding() = 0;
    // The run cannot start (the module is missing or cannot report slot events): shown in red,
    // not counted, the inputs enabled again.
    virtual void ShowRefused(std::wstring text) = 0;
    // Before each attempt, in turn with the operator's Stop: whether it may still touch a
    // token, and the binding it uses. An attempt granted runs to its end and reports.
    virtual bool GrantAttempt(TokenModule*& module);
    // The run's counters after a counted outcome has shown (the tally the caller handed in).
    virtual void ShowCounts(const RunTally& tally);
    // A granted attempt has ended; `bEndsRun`: its outcome ended the run (a wrong SO PIN, the
    // count reached), which stops once this returns.
    virtual void EndAttempt(bool bEndsRun);
    // Start enabled, Stop disabled, inputs enabled: the run has ended.
    virtual void ShowFinished();

  protected:
    ~BatchView() = default;
};
