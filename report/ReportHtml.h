#pragma once
// The report as one self-contained HTML page: no file, script or font from elsewhere, the
// chart drawn inline (SVG), in the language shown, and laid out to print on A4.
#include "report/LedgerReport.h"

#include <string>

// `generated`: when the page was made, as shown; `folder`: the ledger folder (UTF-8).
std::string RenderReportHtml(const LedgerReport& report, const std::string& generated,
                             const std::string& folder);
