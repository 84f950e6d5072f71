#pragma once
// The read-back after a wipe: the hardware record read again must show the blank type.
#include "token/ReadBack.h"
#include "token/TokenModule.h"

ReadBack ReadBackWipe(TokenModule& module, CK_SLOT_ID slot);
