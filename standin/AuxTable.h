#pragma once
#include "token/AuxFunctionList.h"

// The auxiliary (vendor) list: entries 0, 8 and 9 work, 1 to 7 answer CKR_FUNCTION_NOT_SUPPORTED.
AUX_FUNCTION_LIST* StandinAuxFunctionList();
