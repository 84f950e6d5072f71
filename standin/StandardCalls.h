#pragma once
// Initialising a virtual token through standard calls, as a module without the vendor
// extension is driven: C_InitToken, C_InitPIN, C_SetPIN, and an object search that finds
// nothing (the virtual tokens hold no objects).
#include "token/Pkcs11.h"

// Fills those entries of the function list.
void AddStandardCalls(CK_FUNCTION_LIST& list);
