#pragma once
// What an initialisation page gives the station for its operation: the same parameters a
// batch run of the page would use, checked by the page's own rules.
#include "base/SecureBuffer.h"

#include <string>
#include <vector>

struct StationParameters {
    // The operation's options for the child that handles one token (vantor-cli slot-attempt).
    std::vector<std::wstring> childArguments;
    // The PINs for the child's standard input, in its order.
    std::vector<SecretText> pins;
    std::wstring label; // PKI: the ledger's label column
    // A page check refused the parameters with this text, which the page would show on its
    // status line; empty when the refusal was a field's message box (or none).
    std::wstring refusal;
};
