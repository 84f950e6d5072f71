#include "ReportTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

void ReportFolder::Write(const LedgerEntry& entry, int hour, const std::string& station,
                         const std::string& user) const {
    Ledger(ledger.string(), {[hour] { return LedgerTime{2026, 12, 6, hour, 30, 0, 480}; },
                             [station] { return station; }, [user] { return user; }})
        .Append(entry);
}

std::string ReportFolder::File(const std::string& name, const std::string& bytes) const {
    fs::create_directories((root / name).parent_path());
    std::ofstream(root / name, std::ios::binary) << bytes;
    return (root / name).string();
}

int ReportFolder::Cli(const std::string& args, std::string& output) const {
    const std::string command = "cd '" + root.string() + "' && VANTOR_LEDGER_DIR='" + ledger.string() +
                                "' '" VANTOR_CLI_PATH "' " + args + " 2>&1";
    output.clear();
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return -1;
    char buffer[4096];
    for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, got);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

LedgerEntry Entry(LedgerOperation operation, LedgerOutcome outcome, const std::wstring& serial,
                  const std::wstring& message) {
    LedgerEntry entry;
    entry.operation = operation;
    entry.outcome = outcome;
    entry.serial = serial;
    entry.message = message;
    entry.slot = 1;
    return entry;
}
