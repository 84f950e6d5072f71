#pragma once
// The page of PIN letters: one self-contained HTML page (UTF-8, inline style, no script, nothing
// loaded from elsewhere), one letter a printed A4 page, and a last page listing the envelopes
// that did not open. The page holds the PINs, so it is made in wiped storage only.
#include "base/SecureBuffer.h"

#include <string>
#include <vector>

using PageBytes = std::vector<char, WipingAllocator<char>>;

struct PinLetter {
    std::string holder, serial, label, day; // UTF-8 as the envelope gave them
    SecretText userPin;
};

struct UnopenedEnvelope {
    std::string name; // pins/2026-12-07/ABC-235959.der, shown
    std::string why;  // UTF-8, in the language shown
};

PageBytes RenderLetterPage(const std::vector<PinLetter>& letters,
                           const std::vector<UnopenedEnvelope>& unopened);
