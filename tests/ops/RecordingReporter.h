#pragma once
// Stands in for a page: records every report of an attempt, in order.
#include "blank/BlankFormat.h"

#include <ostream>
#include <string>
#include <vector>

struct Report {
    bool bSuccess; // ReportSuccess rather than ReportFailure
    bool bCount;
    std::wstring text;

    bool operator==(const Report& other) const {
        return bSuccess == other.bSuccess && bCount == other.bCount && text == other.text;
    }
};

inline void PrintTo(const Report& report, std::ostream* os) {
    std::string utf8;
    for (wchar_t c : report.text) { // enough UTF-8 for readable failure messages
        unsigned long u = static_cast<unsigned long>(c);
        if (u < 0x80) {
            utf8 += static_cast<char>(u);
        } else if (u < 0x800) {
            utf8 += static_cast<char>(0xC0 | (u >> 6));
            utf8 += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | ((u >> 12) & 0x0F));
            utf8 += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    *os << (report.bSuccess ? "success" : "failure") << (report.bCount ? " counted " : " uncounted ") << utf8;
}

inline Report Success(bool bCount, std::wstring text) {
    return Report{true, bCount, std::move(text)};
}
inline Report Failure(bool bCount, std::wstring text) {
    return Report{false, bCount, std::move(text)};
}

class RecordingReporter final : public BlankFormatReporter {
  public:
    void ReportSuccess(bool bCount, std::wstring text) override { reports.push_back(Success(bCount, text)); }
    void ReportFailure(bool bCount, std::wstring text) override { reports.push_back(Failure(bCount, text)); }
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
