#pragma once
// The information page's query: the one present token's hardware record as six texts, or on a
// module without the vendor extension its token information as fields of their own.
#include "info/StandardInfo.h"
#include "token/AttemptResult.h"
#include "token/DeviceInfoTexts.h"
#include "token/TokenModule.h"

struct DeviceInfoResult {
    // Success with the token's slot and record; otherwise the message shown in the page's
    // error box: not counted, or IDS_UNKNOWN_ERROR, a counted failure, when the one token
    // present could not be read. The texts stay empty then.
    AttemptResult attempt;
    DeviceInfoTexts texts; // the vendor record's; empty on the standard path
    // A module without the vendor extension: the token information's fields instead of the texts.
    std::vector<StandardInfoField> standardFields;
};

// `module` is the binding read anew for this query; null when the module is not bound.
DeviceInfoResult QueryDeviceInfo(TokenModule* module);
