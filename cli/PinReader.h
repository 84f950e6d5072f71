#pragma once
// Reads a PIN from its source into wiped storage. Neither the PIN nor any part of it is
// ever written anywhere.
#include "cli/CliOptions.h"
#include "base/SecureBuffer.h"

#include <cstddef>
#include <string>
#include <vector>

struct PinRead {
    SecretText pin;
    std::wstring error; // non-empty: the PIN could not be read (exit 2)
};

// `prompt` is shown when the source is the terminal.
PinRead ReadPin(const PinSource& source, const std::wstring& prompt);

// A station's child: the first `count` lines of standard input (UTF-8), one PIN each. Fewer
// lines than `count`: false.
bool ReadPinLines(std::size_t count, std::vector<SecretText>& pins);
