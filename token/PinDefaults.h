#pragma once
// The token maker's default PINs and the length a PIN field takes: one set for the wipe, the
// PKI initialisation and every front end.

// A fresh PKI token's SO PIN and user PIN, the pages' defaults.
inline constexpr const wchar_t* kDefaultSoPin = L"tamsel";
inline constexpr const wchar_t* kDefaultUserPin = L"5820";

// A PIN field takes at most this many characters; longer lengths are refused first.
inline constexpr int kPinMaxChars = 100;
