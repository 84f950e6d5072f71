#pragma once
// A test's own handle on a stand-in module: its bench controls and both function lists,
// reached directly, without the program's binding in between. Holding it keeps the module
// loaded, so its journal outlives a binding that releases the library.
#include "standin/BenchControl.h"
#include "token/AuxFunctionList.h"
#include "token/ModuleLibrary.h"

#include <map>
#include <string>
#include <vector>

// Folder of the running test program, where the build puts the stand-in too.
std::wstring ProgramFolder();
// Full file names of the stand-in and of its variant without the vendor extension.
std::wstring StandinPath();
std::wstring NoAuxStandinPath();

class StandinHandle {
  public:
    explicit StandinHandle(const std::wstring& path);
    StandinHandle(const StandinHandle&) = delete;
    StandinHandle& operator=(const StandinHandle&) = delete;

    // Library loaded and all three controls found.
    bool Ready() const { return m_command != nullptr && m_readJournal != nullptr && m_query != nullptr; }

    // Not initialised, empty bench, no faults, empty journal.
    void Fresh();
    // 0 when every line was carried out.
    int Command(const std::string& lines) { return m_command(lines.c_str()); }
    std::vector<std::string> Journal() const;
    std::string Query(const std::string& query) const;

    // Through C_GetFunctionList / E_GetAuxFunctionList (which the journal records).
    CK_FUNCTION_LIST* Functions();
    AUX_FUNCTION_LIST* Aux(); // null for the variant without the extension
    void* Symbol(const char* name) const { return m_library.Symbol(name); }

  private:
    ModuleLibrary m_library;
    Bench_Command_t m_command = nullptr;
    Bench_ReadJournal_t m_readJournal = nullptr;
    Bench_Query_t m_query = nullptr;
};

// One handle on the stand-in beside the test program for the whole test run.
StandinHandle& SharedStandin();

// Journal lines starting with `name` followed by a space.
std::vector<std::string> CallsOf(const std::vector<std::string>& journal, const std::string& name);
// Just the entry point names, in call order.
std::vector<std::string> CallNames(const std::vector<std::string>& journal);

// The fields of one "key=value key=value" line.
std::map<std::string, std::string> ParseFields(const std::string& line);
// Bytes from a run of hex digits; empty on anything else.
std::vector<unsigned char> ParseHex(const std::string& hex);
