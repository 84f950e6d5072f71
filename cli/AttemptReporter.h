#pragma once
// Collects what one wipe or PKI attempt reports. The operation's last report is the
// attempt's outcome; the progress text before it is not shown on a console.
#include "cli/AttemptOutcome.h"
#include "blank/BlankFormat.h"

class AttemptReporter final : public BlankFormatReporter {
  public:
    void ReportSuccess(bool bCount, std::wstring text) override { Keep(bCount, true, std::move(text)); }
    void ReportFailure(bool bCount, std::wstring text) override { Keep(bCount, false, std::move(text)); }
    void ShowRunning() override {}

    // Counted reports are successes or failures; uncounted ones handled no token.
    void FillOutcome(AttemptOutcome& attempt) const {
        attempt.outcome = !m_bCounted ? Outcome::kNone : m_bSuccess ? Outcome::kSuccess : Outcome::kFailure;
        attempt.message = m_text;
    }

  private:
    void Keep(bool bCount, bool bSuccess, std::wstring text) {
        m_bCounted = bCount;
        m_bSuccess = bSuccess;
        m_text = std::move(text);
    }

    bool m_bCounted = false;
    bool m_bSuccess = false;
    std::wstring m_text;
};
