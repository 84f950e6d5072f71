#pragma once
#include "token/Pkcs11.h"

// The complete PKCS#11 v2 function list: every entry filled.
CK_FUNCTION_LIST* StandinFunctionList();
