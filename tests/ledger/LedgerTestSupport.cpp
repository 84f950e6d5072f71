#include "LedgerTestSupport.h"

#include <fstream>
#include <iterator>
#include <random>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#endif

namespace fs = std::filesystem;

LedgerFolderFixture::LedgerFolderFixture() {
    root = fs::temp_directory_path() / ("vantor-ledger-" + std::to_string(std::random_device{}()));
    folder = root / "station" / "ledger";
    now = {2026, 12, 6, 14, 3, 5, 8 * 60};
}

LedgerFolderFixture::~LedgerFolderFixture() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

Ledger LedgerFolderFixture::Open() const {
    return Open(folder);
}

Ledger LedgerFolderFixture::Open(const fs::path& where) const {
    const LedgerTime* clock = &now;
    return Ledger(where.native(), {[clock] { return *clock; }, [] { return std::string("ST-01"); },
                                   [] { return std::string("operator"); }});
}

std::string LedgerFolderFixture::Read(const std::string& fileName) const {
    std::ifstream in(DayFile(fileName), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

LedgerEntry WipeSuccess(const std::wstring& serial) {
    LedgerEntry entry;
    entry.operation = LedgerOperation::Wipe;
    entry.mode = LedgerMode::Batch;
    entry.slot = 1;
    entry.serial = serial;
    entry.cosVersion = L"2.05";
    entry.typeBefore = 1;
    entry.outcome = LedgerOutcome::Success;
    entry.message = L"done";
    return entry;
}

void SetEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
    const std::wstring wideName(name, name + std::char_traits<char>::length(name));
    const std::wstring wideValue(value.begin(), value.end());
    SetEnvironmentVariableW(wideName.c_str(), value.empty() ? nullptr : wideValue.c_str());
#else
    if (value.empty())
        unsetenv(name);
    else
        setenv(name, value.c_str(), 1);
#endif
}
