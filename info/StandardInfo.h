#pragma once
// The information query on a module without the vendor extension: what the slot and token
// information tell, and "not available" for what the standard has no place for.
#include "token/AttemptProgress.h"
#include "token/AttemptResult.h"
#include "token/TokenModule.h"

#include <string>
#include <vector>

struct StandardInfoField {
    const char* key;     // JSON key; null for the columns the ledger line has already
    const char* caption; // UTF-8, as res/InfoCaptions.h spells it, in the language shown
    std::wstring value;
};

// Every field in the order the console and the information page show them, values empty: the
// page lays out its rows from these before any query.
std::vector<StandardInfoField> StandardInfoFields();

struct StandardInfoResult {
    AttemptResult attempt;                 // as DeviceInfoResult::attempt
    std::vector<StandardInfoField> fields; // as StandardInfoFields(), with the token's values
};

StandardInfoResult QueryStandardInfo(TokenModule& module, AttemptProgress& progress);

// What the information page shows for an attempt that ended before a token was read: a
// counted failure as IDS_UNKNOWN_ERROR, where the initialisation pages name it.
AttemptResult ShownOnInfoPage(AttemptResult ended);
