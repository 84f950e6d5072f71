#pragma once
// The information query on a module without the vendor extension: what the slot and token
// information tell, and "not available" for what the standard has no place for.
#include "token/AttemptProgress.h"
#include "token/AttemptResult.h"
#include "token/DeviceInfoTexts.h"
#include "token/TokenModule.h"

#include <string>
#include <vector>

struct StandardInfoField {
    const char* key;     // JSON key; null for the columns the ledger line has already
    const char* caption; // UTF-8, as res/InfoCaptions.h spells it
    std::wstring value;
};

struct StandardInfoResult {
    AttemptResult attempt; // as DeviceInfoResult::attempt
    std::vector<StandardInfoField> fields;
    // The information page's six fields: serial number, firmware version in place of the COS
    // version, production date and ATR not available, total bytes, and the model as the type.
    DeviceInfoTexts texts;
};

StandardInfoResult QueryStandardInfo(TokenModule& module, AttemptProgress& progress);
