#pragma once
// How a format attempt tells its page the outcome. A counted outcome is one finished token:
// it adds one to the total and one to the success or failure counter.
#include <string>

class FormatReporter {
  public:
    // Normal (black) status text.
    virtual void ReportSuccess(bool bCount, std::wstring text) = 0;
    // Error (red) status text.
    virtual void ReportFailure(bool bCount, std::wstring text) = 0;

  protected:
    ~FormatReporter() = default;
};
