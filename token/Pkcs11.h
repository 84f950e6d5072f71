#pragma once
// PKCS#11 v2 types and codes from the standard header (libp11-kit-dev). On Windows it packs
// every structure to one byte, as the token module expects.
#include <p11-kit/pkcs11.h>
