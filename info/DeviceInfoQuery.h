#pragma once
// The information page's query: the one present token's hardware record as six texts.
#include "token/AttemptResult.h"
#include "token/DeviceInfoFormat.h"
#include "token/TokenModule.h"

struct DeviceInfoResult {
    // Success with the token's slot and record; otherwise the message shown in the page's
    // error box: 106, 108 or 113 not counted, 112 (the one token present could not be read)
    // a counted failure. The texts stay empty then.
    AttemptResult attempt;
    DeviceInfoTexts texts;
};

// `module` is the binding read anew for this query; null when the module is not bound.
DeviceInfoResult QueryDeviceInfo(TokenModule* module);
