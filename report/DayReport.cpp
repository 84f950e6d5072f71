#include "report/DayReport.h"

#include "base/ShownPath.h"
#include "ledger/LedgerLine.h"
#include "report/ReportHtml.h"

#include <fstream>

namespace fs = std::filesystem;

std::string ReportFileName(const std::string& to) {
    return "vantor-report-" + to + ".html";
}

WrittenReport WriteDayReport(const ReportRequest& request, const LedgerTime& generated, const fs::path& out) {
    WrittenReport written;
    written.read = ReadLedgerReport(request);
    if (!written.read.error.empty())
        return written;
    const std::string html =
        RenderReportHtml(written.read.report, LedgerTimeText(generated), ShownPath(request.folder));
    std::error_code error;
    const fs::file_status status = fs::status(out, error);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        written.outcome = ReportWrite::kNotRegularFile;
        return written;
    }
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    written.outcome = (file << html) && file.flush() ? ReportWrite::kWritten : ReportWrite::kNotWritten;
    return written;
}
