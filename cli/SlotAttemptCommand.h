#pragma once
// `vantor-cli slot-attempt wipe|init`: one attempt on one token, run by a station as a child
// process of its own. It works only on the slot it is given and only while that slot holds the
// token of the given serial, takes its PINs on standard input, never asks a question (the
// batch policy: a final try is a counted failure), never writes the ledger, and prints
// "progress working|verifying" lines and one result line (attempt/AttemptResultLine.h).
#include <string>
#include <vector>

// `args` without the program name: true when its first word is slot-attempt.
bool IsSlotAttemptCommand(const std::vector<std::wstring>& args);
// 2 on a usage error (no result line); otherwise the attempt's exit code.
int RunSlotAttempt(const std::vector<std::wstring>& args);
// Its part of --help.
std::wstring SlotAttemptHelpText();
