#include "LedgerReader.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

namespace fs = std::filesystem;

namespace {

// Each day file's rows, its header first.
std::vector<std::vector<LedgerFields>> ReadDayFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<std::vector<LedgerFields>> days;
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
            bytes.erase(0, 3);
        days.push_back(ParseCsv(bytes));
    }
    return days;
}

} // namespace

std::vector<LedgerFields> ParseCsv(const std::string& bytes) {
    std::vector<LedgerFields> rows;
    LedgerFields row(1);
    bool quoted = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (quoted && c == '"' && i + 1 < bytes.size() && bytes[i + 1] == '"')
            row.back() += bytes[i++];
        else if (c == '"')
            quoted = !quoted;
        else if (quoted || (c != ',' && c != '\r' && c != '\n'))
            row.back() += c;
        else if (c == ',')
            row.emplace_back();
        else if (c == '\n')
            rows.push_back(std::exchange(row, LedgerFields(1)));
    }
    if (row.size() > 1 || !row.front().empty())
        rows.push_back(row);
    return rows;
}

std::vector<LedgerFields> ReadLedgerRows(const fs::path& folder) {
    std::vector<LedgerFields> rows;
    for (const auto& day : ReadDayFiles(folder))
        rows.insert(rows.end(), day.begin() + (day.empty() ? 0 : 1), day.end());
    return rows;
}

std::vector<LedgerRecord> ReadLedger(const fs::path& folder) {
    std::vector<LedgerRecord> records;
    for (const auto& day : ReadDayFiles(folder)) {
        for (std::size_t i = 1; i < day.size(); ++i) {
            LedgerRecord record;
            for (std::size_t column = 0; column < day[0].size() && column < day[i].size(); ++column)
                record[day[0][column]] = day[i][column];
            records.push_back(record);
        }
    }
    return records;
}
