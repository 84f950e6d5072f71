#include "attempt/ShownOptionName.h"

namespace {

// Options that would carry a PIN in clear: refused in every form.
const wchar_t* const kPinOptions[] = {L"--so-pin",     L"--user-pin",     L"--pin",
                                      L"--new-so-pin", L"--new-user-pin", L"--current-so-pin"};

// Every option name any command takes, besides the PIN options: an argument that begins with
// one of these is shown as that name only, whatever is glued to it.
const wchar_t* const kOptionNames[] = {L"--help",
                                       L"--json",
                                       L"--no-ledger",
                                       L"--module",
                                       L"--profile",
                                       L"--stock",
                                       L"--so-pin-env",
                                       L"--so-pin-file",
                                       L"--user-pin-env",
                                       L"--user-pin-file",
                                       L"--current-so-pin-env",
                                       L"--current-so-pin-file",
                                       L"--count",
                                       L"--idle",
                                       L"--limit",
                                       L"--slot",
                                       L"--serial",
                                       L"--set",
                                       L"--pins-stdin",
                                       L"--from",
                                       L"--to",
                                       L"--out",
                                       L"--anchor"};

} // namespace

bool IsPinOptionName(const std::wstring& name) {
    for (const wchar_t* option : kPinOptions)
        if (name == option)
            return true;
    return false;
}

std::wstring ShownOptionName(const std::wstring& arg) {
    if (arg.compare(0, 2, L"--") != 0)
        return std::wstring();
    std::wstring known;
    auto consider = [&](const wchar_t* name) {
        const std::wstring option(name);
        if (arg.compare(0, option.size(), option) == 0 && option.size() > known.size())
            known = option;
    };
    for (const wchar_t* name : kPinOptions)
        consider(name);
    for (const wchar_t* name : kOptionNames)
        consider(name);
    // An unknown name may be a secret glued to a mistyped option in any form (`--sopin1234`,
    // `--passwdsecret`): none of it is shown.
    return known.empty() ? std::wstring(L"--…") : known;
}
