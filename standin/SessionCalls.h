#pragma once
// Sessions and logins on the virtual tokens: C_OpenSession, C_CloseSession,
// C_CloseAllSessions, C_Login and C_Logout.
#include "standin/ModuleCall.h"
#include "token/Pkcs11.h"

// Fills those five entries of the function list.
void AddSessionCalls(CK_FUNCTION_LIST& list);

// The session and the very token it was opened on. A session whose token has been pulled
// or replaced is closed, with every other session of that plugging-in.
CK_RV FindSession(ModuleCall& call, CK_SESSION_HANDLE handle, OpenSession& session, VirtualToken*& token);
