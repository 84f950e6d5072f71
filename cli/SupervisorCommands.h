#pragma once
// The supervisor's commands over the ledger folder: `ledger verify`, `report` and
// `pins letters`. They touch
// no token and load no module, so they stand apart from the token commands' options.
#include <string>
#include <vector>

// `args` without the program name: true when its first word is one of these commands.
bool IsSupervisorCommand(const std::vector<std::wstring>& args);
// The command's exit code.
int RunSupervisorCommand(const std::vector<std::wstring>& args);
// Their part of --help.
std::wstring SupervisorHelpText();

// ledger verify [--anchor VALUE] [FILE...]: 0 every file intact or not sealed (and passing
// through the anchor), 1 a file broken (or not through the anchor), 2 a file unreadable or not
// a ledger file (or a usage error).
int RunLedgerVerify(const std::vector<std::wstring>& args);
// report [--from DATE] [--to DATE] [--out FILE.html] [--stock FILE]: 0 written, 2 otherwise
// (also when a day file of the span is not a ledger file or cannot be read).
int RunReport(const std::vector<std::wstring>& options);
// pins letters [--from DATE] [--to DATE] [--key KEY] --out FILE.html: 0 every envelope of the
// span opened and written, 1 written but some did not open, 2 no envelope, no key or a usage
// error (nothing written).
int RunPinLetters(const std::vector<std::wstring>& options);
