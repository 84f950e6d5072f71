#pragma once
// SHA-256 from the platform (BCrypt on Windows, nettle elsewhere), never our own.
#include <initializer_list>
#include <string>
#include <string_view>

// The digest of the pieces one after the other, as 64 lowercase hex digits; empty when the
// platform cannot hash.
std::string Sha256Hex(std::initializer_list<std::string_view> pieces);
