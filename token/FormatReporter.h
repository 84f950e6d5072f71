#pragma once
// How a format attempt tells its page the outcome. A counted outcome is one finished token:
// it adds one to the total and one to the success or failure counter.
#include "token/AuxFunctionList.h"

#include <string>

class FormatReporter {
  public:
    // Normal (black) status text.
    virtual void ReportSuccess(bool bCount, std::wstring text) = 0;
    // Error (red) status text.
    virtual void ReportFailure(bool bCount, std::wstring text) = 0;
    // The one token the attempt works on, before its counted outcome: `info` is its hardware
    // record, or null when the record could not be read. For the record kept of the attempt.
    virtual void NoteToken(CK_SLOT_ID /*slot*/, const DEVICE_INFO* /*info*/) {}

  protected:
    ~FormatReporter() = default;
};

// A batch run's side of an attempt: the outcome, and the run's buttons. The wipe shows the
// run as running on every batch-mode attempt.
class BlankFormatReporter : public FormatReporter {
  public:
    // Start disabled, Stop enabled. Called on every batch-mode attempt whose slot listing
    // succeeded, before the token count is looked at.
    virtual void ShowRunning() = 0;
    // Single run only, on the thread of the attempt: the SO PIN of the token has one try
    // left. True to try it anyway (Yes), false (No, the default) ends the attempt as
    // cancelled. A batch run never asks.
    virtual bool ConfirmFinalTry() { return false; }

  protected:
    ~BlankFormatReporter() = default;
};
