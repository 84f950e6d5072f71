#pragma once
// What an operation tells its front end while an attempt runs, before it returns the result:
// progress, the start of a batch attempt, and the questions it may ask.
#include "token/TokenIssue.h"

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
    // A PKI initialisation admitted by MayWorkOn, before its first write: what the token of
    // `serial` (empty: it has none yet) gets of its own.
    virtual TokenIssue IssueFor(const std::wstring& /*serial*/) { return {}; }
    // A token that had no serial got its first from the initialisation (the standard path):
    // what was issued for it now goes by that serial.
    virtual void SerialAssigned(const std::wstring& /*serial*/) {}
    // The token was left alone after IssueFor, before anything was written to it: what was
    // issued for it is withdrawn (a PIN that no token has is never delivered).
    virtual void Withdraw() {}

  protected:
    ~AttemptProgress() = default;
};
