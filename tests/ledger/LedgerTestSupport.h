#pragma once
// A ledger on a fresh temporary folder with a clock the test sets.
#include "ledger/Ledger.h"

#include <filesystem>
#include <random>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

class LedgerFolderFixture {
  public:
    ~LedgerFolderFixture();

    // A new ledger object on the folder, as after a restart of the program.
    Ledger Open() const;
    Ledger Open(const std::filesystem::path& folder) const;
    std::string Read(const std::string& fileName) const;
    std::filesystem::path DayFile(const std::string& fileName) const { return folder / fileName; }

    std::filesystem::path root = // removed at the end
        std::filesystem::temp_directory_path() / ("vantor-ledger-" + std::to_string(std::random_device{}()));
    std::filesystem::path folder = root / "station" / "ledger"; // creation must make both levels
    LedgerTime now{2026, 12, 6, 14, 3, 5, 8 * 60};              // unless a test moves it
};

LedgerEntry WipeSuccess(const std::wstring& serial);
void SetEnvironment(const char* name, const std::string& value); // empty value: unset

// The variables as they were, put back when it goes.
class SavedEnvironment {
  public:
    explicit SavedEnvironment(std::initializer_list<const char*> names);
    ~SavedEnvironment();

  private:
    std::vector<std::pair<const char*, std::string>> saved_;
};
