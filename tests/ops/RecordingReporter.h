#pragma once
// Stands in for a page: records every report of an attempt, in order.
#include "attempt/AttemptRunner.h"
#include "attempt/OutcomeText.h"
#include "base/Utf8.h"

#include <ostream>
#include <string>
#include <vector>

struct Report {
    bool bSuccess; // in the status colour rather than red
    bool bCount;
    std::wstring text;

    bool operator==(const Report& other) const {
        return bSuccess == other.bSuccess && bCount == other.bCount && text == other.text;
    }
};

inline void PrintTo(const Report& report, std::ostream* os) {
    *os << (report.bSuccess ? "success" : "failure") << (report.bCount ? " counted " : " uncounted ")
        << WideToUtf8(report.text);
}

inline Report Success(bool bCount, std::wstring text) {
    return Report{true, bCount, std::move(text)};
}
inline Report Failure(bool bCount, std::wstring text) {
    return Report{false, bCount, std::move(text)};
}

class RecordingReporter final : public AttemptFrontEnd {
  public:
    void ShowProgress(std::wstring text) override { reports.push_back(Success(false, text)); }
    void ShowOutcome(const AttemptOutcome& outcome) override {
        reports.push_back(Report{IsShownAsSuccess(outcome.result), outcome.IsCounted(), outcome.ShownText()});
    }
    void ShowRunning() override { ++runningCalls; }
    bool ConfirmFinalTry() override {
        ++questions;
        return bYes;
    }

    std::vector<Report> reports;
    int runningCalls = 0;
    int questions = 0;
    bool bYes = false; // the operator's answer to the final-try question
};

// Runs an operation as every front end does, single and without a ledger: what it shows lands
// in `reporter`. Returns the result's code.
inline CK_RV RunRecorded(const AttemptOperation& operation, RecordingReporter& reporter) {
    return RunAndRecordAttempt(operation, AttemptSetting{}, reporter).result.rv;
}
