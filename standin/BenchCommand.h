#pragma once
// One parsed line of the bench language (BenchControl.h describes the language).
#include "base/SecureBuffer.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

constexpr unsigned kBenchDefaultSlots = 16;
constexpr unsigned kBenchMaxSlots = 64;
constexpr std::size_t kBenchMaxPinBytes = 64;   // longer than any token accepts, for odd test cases
constexpr std::size_t kBenchMaxLabelBytes = 32; // the token information's label field
constexpr std::uint32_t kBenchMaxDelayMs = 600000;
constexpr unsigned kBenchMaxChurn = 1000000;

// What a token gets wrong while still answering CKR_OK (the "misbehave=" key of an insert line).
enum TokenMisbehaviour : unsigned {
    kMisKeepsLabel = 1u << 0,       // label: E_InitPkiToken leaves the label as it was
    kMisHidesInitialised = 1u << 1, // init-flag: the token information lacks CKF_TOKEN_INITIALIZED
    kMisDropsUserPin = 1u << 2,     // user-pin: E_InitPkiToken leaves the token without a user PIN
    kMisCutsUserPin = 1u << 3,      // user-pin-short: the new user PIN is kept without its last byte
    kMisCutsSoPin = 1u << 4,        // so-pin-short: the same for the new SO PIN
    kMisKeepsType = 1u << 5,        // wipe: E_InitBlankToken leaves the token as it was
    kMisPinPad = 1u << 6,           // pin-pad: the token information claims a PIN pad
    kMisLabelSuffix = 1u << 7,      // label-suffix: the token information appends " #1" to the label
    kMisMovesSlot = 1u << 8,        // moves: C_InitToken moves the token to the next empty slot
};

// The keys of an "insert" line. What is left unset takes the defaults of the token's type.
struct TokenDescription {
    std::optional<std::uint8_t> type;
    std::optional<SecureBytes> soPin;
    std::optional<SecureBytes> userPin;
    std::optional<std::uint8_t> soMax;
    std::optional<std::uint8_t> soLeft;
    std::optional<std::uint8_t> userMax;
    std::optional<std::uint8_t> userLeft;
    std::optional<std::string> label;
    std::optional<std::array<std::uint8_t, 8>> serial;
    std::optional<std::array<std::uint8_t, 16>> atr;
    std::optional<std::array<std::uint8_t, 2>> cos;
    std::optional<std::array<std::uint8_t, 6>> made;
    std::optional<std::uint32_t> totalSpace;
    std::optional<std::uint32_t> publicSize;
    std::optional<std::uint32_t> privateSize;
    std::optional<unsigned> misbehaviour; // TokenMisbehaviour bits
};

// What the calls change on a token: all a "state" line carries to the other processes.
struct TokenState {
    std::uint8_t type = 0;
    SecureBytes soPin;
    SecureBytes userPin;
    std::uint8_t soMax = 0;
    std::uint8_t soLeft = 0;
    std::uint8_t userMax = 0;
    std::uint8_t userLeft = 0;
    std::string label;
    std::uint32_t publicSize = 0;
    std::uint32_t privateSize = 0;
};

struct BenchNothing {}; // blank line or comment
struct BenchReset {};
struct BenchDefault {};
struct BenchSlots {
    unsigned count;
};
struct BenchInsert {
    unsigned slot;
    TokenDescription token;
};
struct BenchRemove {
    unsigned slot;
};
// `count` events on one slot that pull and plug a token of that description in turn.
struct BenchChurn {
    unsigned slot;
    unsigned count;
    TokenDescription token;
};
struct BenchFail {
    std::string call;
    std::uint32_t code;
    bool always;
    unsigned skip = 0; // calls of that name answered as usual first
};
// Which calls a delay or hang holds: all of that name, or only those on one slot and/or one
// token. Calls that name no slot (C_GetSlotList, C_Initialize...) only meet unfiltered ones.
struct TokenFilter {
    std::optional<unsigned> slot;
    std::optional<std::array<std::uint8_t, 8>> serial;
    bool operator==(const TokenFilter& other) const { return slot == other.slot && serial == other.serial; }
};
struct BenchDelay {
    std::string call;
    std::uint32_t milliseconds; // 0 ends the delay or hang of that call and filter
    TokenFilter filter;
};
struct BenchHang {
    std::string call;
    TokenFilter filter;
};
// A token's state as another process's call left it; applied only to the token with that serial.
struct BenchState {
    unsigned slot;
    std::array<std::uint8_t, 8> serial;
    TokenState state;
};
struct BenchClearFaults {};
struct BenchClearJournal {};

using BenchCommand =
    std::variant<BenchNothing, BenchReset, BenchDefault, BenchSlots, BenchInsert, BenchRemove, BenchChurn,
                 BenchFail, BenchDelay, BenchHang, BenchState, BenchClearFaults, BenchClearJournal>;

struct BenchParse {
    bool ok = false;
    BenchCommand command;
    std::string error; // why the line was refused; empty when ok
};
