#pragma once
// Sessions and logins on the virtual tokens: C_OpenSession, C_CloseSession,
// C_CloseAllSessions, C_Login and C_Logout.
#include "token/Pkcs11.h"

// Fills those five entries of the function list.
void AddSessionCalls(CK_FUNCTION_LIST& list);
