#pragma once
// What an operation tells its front end while an attempt runs, before it returns the result:
// progress, the start of a batch attempt, and the questions it may ask.
#include <string>

class AttemptProgress {
  public:
    // An uncounted message (IDS_INITIALISING) that stays while the token works.
    virtual void ShowProgress(unsigned messageId) = 0;
    // A batch-mode wipe whose slot listing succeeded: the run shows as running.
    virtual void ShowRunning() = 0;
    // The module answered CKR_OK and the token is being read back (a station's tile shows it).
    virtual void ShowVerifying() {}
    // Single run only: the SO PIN has one try left. True (Yes) tries it anyway; false (No,
    // the default) ends the attempt as cancelled. A batch run never asks.
    virtual bool ConfirmFinalTry() = 0;
    // The token has been identified by its serial (as the ledger records it) and nothing has
    // been written to it yet: false refuses it (a stock list in force that does not hold it).
    virtual bool MayWorkOn(const std::wstring& /*serial*/) { return true; }

  protected:
    ~AttemptProgress() = default;
};
