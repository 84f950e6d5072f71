#pragma once
// A failure's status text read back from the ledger, told apart from the language its station
// spoke: a text made of string-table entries (a message, a check's prefix and what differed, a
// code, the notes after it) is written again in the language asked for, so that the same reason
// is one row of the report whichever language each station wrote it in.
#include "base/Language.h"

#include <string>

// `statusText` (UTF-8) in `language` when every piece of it is an entry of the string table in
// Chinese or English; else the text as it is. Entries with "%08X" take eight hexadecimal digits
// and those with "%s" the text up to what follows it, both carried over unchanged.
std::string ReasonIn(const std::string& statusText, Language language);
