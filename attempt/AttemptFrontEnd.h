#pragma once
// Whoever shows attempts to an operator: a page or the console. It shows the texts it is given,
// counts what it is told to count and answers the one question; it decides nothing.
#include <string>

class AttemptFrontEnd {
  public:
    // Status text in black; counted, it adds one to the total and one to the successes.
    virtual void ReportSuccess(bool bCount, std::wstring text) = 0;
    // Status text in red; counted, it adds one to the total and one to the failures.
    virtual void ReportFailure(bool bCount, std::wstring text) = 0;
    // A batch run's attempt has begun: Start disabled, Stop enabled.
    virtual void ShowRunning() {}
    // The module answered and the token is being read back (a station's tile shows it).
    virtual void ShowVerifying() {}
    // Single run, the SO PIN has one try left: the page's Yes/No box, the console's y/N
    // prompt. No is the default.
    virtual bool ConfirmFinalTry() { return false; }

  protected:
    ~AttemptFrontEnd() = default;
};
