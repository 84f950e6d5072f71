#pragma once
// The PIN envelopes of a span of days: LEDGER/pins/YYYY-MM-DD/*.der, by day, then by name.
#include <filesystem>
#include <string>
#include <vector>

struct EnvelopeFileName {
    std::string day;            // 2026-12-07
    std::filesystem::path path; // the file (or whatever bears an envelope's name)
};

// Days `from` to `to` (YYYY-MM-DD) inclusive. Only folders named by a date are days; only names
// ending in ".der" are envelopes, whatever they turn out to be. Nothing when there is none or
// the folder cannot be read.
std::vector<EnvelopeFileName> EnvelopeFilesOfSpan(const std::filesystem::path& ledgerFolder,
                                                  const std::string& from, const std::string& to);
