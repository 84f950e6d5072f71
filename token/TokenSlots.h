#pragma once
// The first two module calls of every token operation: which slots hold a token, and the
// hardware record of the one token found.
#include "token/TokenModule.h"

#include <vector>

// Places in the slot list an attempt hands to C_GetSlotList: a conforming module answers
// CKR_BUFFER_TOO_SMALL for more tokens than this.
constexpr CK_ULONG kSlotListPlaces = 10;

// The binding as an operation sees it: absent, or missing either function list.
inline bool IsModuleBound(const TokenModule* module) {
    return module != nullptr && module->HasFunctionLists();
}

struct SlotList {
    CK_RV rv = CKR_OK;             // the listing's own result
    std::vector<CK_SLOT_ID> slots; // the slots holding a token, when rv is CKR_OK
};

// The one reading of the slots holding a token: `places` zeroed places, count `places` on
// entry; a module that claims more than it was given room for is held to its places.
SlotList ListSlots(TokenModule& module, CK_ULONG places);

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
