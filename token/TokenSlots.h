#pragma once
// The first two module calls of every token operation: which slots hold a token, and the
// hardware record of the one token found.
#include "token/TokenModule.h"

// Places in the slot list handed to C_GetSlotList; more tokens than this fail the listing.
constexpr CK_ULONG kSlotListPlaces = 10;

// The binding as an operation sees it: absent, or missing either function list.
inline bool IsModuleBound(const TokenModule* module) {
    return module != nullptr && module->HasFunctionLists();
}

struct TokenSlotListing {
    CK_RV rv = CKR_OK;   // the listing's own result
    CK_ULONG count = 0;  // slots holding a token, when rv is CKR_OK
    CK_SLOT_ID slot = 0; // first list entry: the token's slot when count is 1
};

// Lists the slots holding a token into ten zeroed places, count 10 on entry.
TokenSlotListing ListTokenSlots(TokenModule& module);

// Zeroes the whole record first, so bytes the module leaves alone never carry old data.
CK_RV ReadDeviceInfo(TokenModule& module, CK_SLOT_ID slot, DEVICE_INFO& info);

// The serial number of the token in `slot` as the ledger records it: its hardware record's on
// the maker's module, its token information's through standard calls; empty when it cannot be
// read or the slot holds no token of its own (a spare slot).
std::wstring ReadTokenSerial(TokenModule& module, CK_SLOT_ID slot);

// Through standard calls: `slot` holds a token whose information reads but gives no serial
// number (one never initialised, or a module's spare slot), which nothing keyed by serial can
// tell apart. Always false on the maker's module.
bool HasUnnumberedToken(TokenModule& module, CK_SLOT_ID slot);
