#pragma once
// The information page's query: the one present token's hardware record as six texts.
#include "token/DeviceInfoFormat.h"
#include "token/TokenModule.h"

struct DeviceInfoResult {
    // 0 on success; otherwise the string-table message the page shows in its error box,
    // with every text left empty.
    unsigned messageId = 0;
    DeviceInfoTexts texts;
    // On success, for the ledger: the token's slot and its record.
    CK_SLOT_ID slot = 0;
    DEVICE_INFO info{};
};

// `module` is the binding read anew for this query; null when the module is not bound.
DeviceInfoResult QueryDeviceInfo(TokenModule* module);
