#pragma once
// Reads a PIN from its source into wiped storage. Neither the PIN nor any part of it is
// ever written anywhere. A PIN that is empty, holds a NUL or a control character or is not
// UTF-8 is refused (cli/PinText.h), its source named, before the module is touched.
#include "cli/CliOptions.h"
#include "base/SecureBuffer.h"

#include <cstddef>
#include <string>
#include <vector>

struct PinRead {
    SecretText pin;
    std::wstring error; // non-empty: the PIN could not be read or may not be sent (exit 2)
};

// `prompt` is shown when the source is the terminal.
PinRead ReadPin(const PinSource& source, const std::wstring& prompt);

// A station's child: the first `count` lines of standard input (UTF-8), one PIN each, checked
// as a PIN file's line is; lines from `optionalFrom` on may be empty (no such PIN). Empty when
// all were read; otherwise what is wrong, naming the line, never its bytes.
std::wstring ReadPinLines(std::size_t count, std::size_t optionalFrom, std::vector<SecretText>& pins);
