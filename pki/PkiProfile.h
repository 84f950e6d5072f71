#pragma once
// The PKI initialisation's parameters other than the PINs as text: `key=value` lines, read
// from the console's profile (an INI file, UTF-8) and from a station child's --set options,
// and written here alone. What the text leaves out keeps the page's default; every value is
// checked as the page checks its field, with the page's message.
#include "pki/PkiInitRecord.h"

#include <cstddef>
#include <string>
#include <vector>

// A profile holds five keys: anything larger is no profile.
inline constexpr std::size_t kProfileMaxBytes = 64u << 10;

struct ProfileRead {
    PkiInitParams params;
    bool bSetsLimits = false; // a retry limit or an area size is given
    std::wstring error;       // non-empty: "FILE，第N行：key：message" of the first bad entry (exit 2)
};

// `text`: the file's bytes. Keys: label, so_pin_max_retry, user_pin_max_retry, public_size,
// private_size; '#' or ';' start a comment line; [section] lines are ignored.
// `name` names the file in messages about its lines, whose values are never shown (an unknown
// key is, escaped).
ProfileRead ParseProfile(const std::string& text, const std::wstring& name);
// A regular file of at most kProfileMaxBytes; anything else is refused with the file's name.
ProfileRead ReadProfile(const std::wstring& path);

// The lines ParseProfile reads back into `params`' label and, with `bLimits`, its retry
// limits and area sizes (without: none, and the reader keeps the defaults). A label that
// trimming or quote removal would change is written in quotes.
std::vector<std::wstring> ProfileLines(const PkiInitParams& params, bool bLimits);

// The page's checks of the two new PINs, before any token is touched: at most 100
// characters, then 4 to 32 (IDS_PIN_LENGTH). Empty when both pass.
std::wstring CheckNewPins(const SecretText& soPin, const SecretText& userPin);
// The wipe's PIN field takes at most 100 characters.
std::wstring CheckCurrentSoPin(const SecretText& soPin);
