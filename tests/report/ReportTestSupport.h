#pragma once
// A ledger folder of the test's own, written by the ledger itself with the clock, station and
// user the test names; and vantor-cli run on it as a script would.
#include "ledger/Ledger.h"

#include "ScratchFolder.h"

#include <filesystem>
#include <string>

class ReportFolder : public ScratchFolder {
  public:
    ReportFolder() : ScratchFolder("vantor-report-test") {}

    // One line at 2026-12-06 hour:30 (+08:00).
    void Write(const LedgerEntry& entry, int hour, const std::string& station = "ST-A",
               const std::string& user = "alice") const;
    std::string File(const std::string& name, const std::string& bytes) const; // its path
    std::filesystem::path Day() const { return ledger / "2026-12-06.csv"; }

    // Exit code; standard output and error together in `output`.
    int Cli(const std::string& args, std::string& output) const;
};

LedgerEntry Entry(LedgerOperation operation, LedgerOutcome outcome, const std::wstring& serial,
                  const std::wstring& message = L"完成");
