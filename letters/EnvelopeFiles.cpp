#include "letters/EnvelopeFiles.h"

#include "base/ShownPath.h"
#include "ledger/LedgerDay.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

// The folder's entries, sorted by name; none when it cannot be read (never an exception).
std::vector<fs::path> SortedEntries(const fs::path& folder) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        entries.push_back(it->path());
    std::sort(entries.begin(), entries.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
    return entries;
}

} // namespace

std::vector<EnvelopeFileName> EnvelopeFilesOfSpan(const fs::path& ledgerFolder, const std::string& from,
                                                  const std::string& to) {
    std::vector<EnvelopeFileName> files;
    for (const fs::path& dayFolder : SortedEntries(ledgerFolder / "pins")) {
        const std::string day = ShownPath(dayFolder.filename()); // never throws, unlike string()
        std::error_code error;
        if (!IsLedgerDate(day) || day < from || day > to || !fs::is_directory(dayFolder, error))
            continue;
        for (const fs::path& file : SortedEntries(dayFolder))
            if (file.extension() == ".der")
                files.push_back({day, file});
    }
    return files;
}
