#pragma once
// The texts of the standard token information's fixed-size fields.
#include "token/Pkcs11.h"

#include <cstddef>
#include <string>

// A space-padded field as text: trailing spaces dropped, anything but printable ASCII as '?'.
std::wstring PaddedText(const CK_UTF8CHAR* field, std::size_t size);
std::wstring VersionText(const CK_VERSION& version);
