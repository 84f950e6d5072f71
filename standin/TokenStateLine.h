#pragma once
// What the calls change on a token, as one bench line: "state <slot> serial=<16 hex> type=<n>
// so=<hex> user=<hex> so-max=<n> so-left=<n> user-max=<n> user-left=<n> label=<hex>
// public=<n> private=<n>". A process appends it to the bench file it shares with others, so
// that all of them see what its calls did to the token.
#include "base/SecureBuffer.h"
#include "standin/VirtualToken.h"

#include <vector>

TokenState StateOf(const VirtualToken& token);
void ApplyState(VirtualToken& token, const TokenState& state);
bool SameState(const TokenState& a, const TokenState& b);

// The line with its '\n', in storage that is wiped: it carries the PINs.
using SecretLine = std::vector<char, WipingAllocator<char>>;
SecretLine StateLine(unsigned slot, const VirtualToken& token);
