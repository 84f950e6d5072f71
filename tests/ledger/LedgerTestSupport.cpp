#include "LedgerTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

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
    _putenv_s(name, value.c_str()); // an empty value removes the variable
#else
    value.empty() ? unsetenv(name) : setenv(name, value.c_str(), 1);
#endif
}

SavedEnvironment::SavedEnvironment(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const char* value = std::getenv(name);
        saved_.emplace_back(name, value ? value : "");
    }
}

SavedEnvironment::~SavedEnvironment() {
    for (const auto& variable : saved_)
        SetEnvironment(variable.first, variable.second);
}
