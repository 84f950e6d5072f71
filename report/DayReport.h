#pragma once
// The supervisor's report written to its file: the ledger folder read, the page made and
// written, for the window program and the console twin alike. They only show what happened.
#include "ledger/LedgerEntry.h"
#include "report/LedgerReport.h"

#include <filesystem>
#include <string>

enum class ReportWrite {
    kWritten,
    kNotRead,        // nothing to report: read.error says why
    kNotRegularFile, // the name is a folder, a device or a pipe: nothing was opened
    kNotWritten,     // the file could not be written
};

struct WrittenReport {
    ReportWrite outcome = ReportWrite::kNotRead;
    ReportRead read;
};

// vantor-report-2026-12-06.html: the page of a span ending on `to` (YYYY-MM-DD).
std::string ReportFileName(const std::string& to);

// `generated`: when the page is made, as it says. Only a regular file (or a new one) is
// written: opening a pipe nobody reads would wait for ever.
WrittenReport WriteDayReport(const ReportRequest& request, const LedgerTime& generated,
                             const std::filesystem::path& out);
