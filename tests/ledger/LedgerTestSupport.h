#pragma once
// A ledger on a fresh temporary folder with a clock the test sets.
#include "ledger/Ledger.h"

#include <filesystem>
#include <string>

class LedgerFolderFixture {
  public:
    LedgerFolderFixture();
    ~LedgerFolderFixture();

    // A new ledger object on the folder, as after a restart of the program.
    Ledger Open() const;
    Ledger Open(const std::filesystem::path& folder) const;
    std::string Read(const std::string& fileName) const;
    std::filesystem::path DayFile(const std::string& fileName) const { return folder / fileName; }

    std::filesystem::path root;   // removed at the end
    std::filesystem::path folder; // two levels below the root, so creation must make both
    LedgerTime now;               // 2026-12-06T14:03:05+08:00 unless a test moves it
};

LedgerEntry WipeSuccess(const std::wstring& serial);
void SetEnvironment(const char* name, const std::string& value); // empty value: unset
