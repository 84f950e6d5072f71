#pragma once
// A delivery's stock list: the serial numbers expected, one per line or in a CSV column
// named `serial`; a CSV list may also name each token's `holder` and `label`. Blank lines, a
// byte-order mark and spaces around a value are tolerated; anything else that is not a serial
// number, a holder's name or a token label is refused with its line number.
#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// What a CSV list says of one token besides its serial (UTF-8; empty: not given).
struct StockToken {
    std::string holder; // the person the token is for
    std::string label;  // the token's own label, instead of the job's
};

struct StockList {
    std::vector<std::string> serials; // in the list's order, each once
    // By StockKey, for the serials whose line gives a holder or a label.
    std::map<std::string, StockToken> tokens;
    std::string error;         // UTF-8; non-empty: the list is refused
    std::size_t errorLine = 0; // the line at fault, from 1; 0 for the file as a whole
};

// The largest list read: over 200 000 serials of 16 digits, far beyond any delivery; the worst
// case, 4 MB of the shortest distinct serials, parses in some 80 MB.
inline constexpr std::size_t kStockListMaxBytes = 4u << 20;

StockList ParseStockList(const std::string& bytes);
// A regular file of at most kStockListMaxBytes; anything else is refused as a whole.
StockList ReadStockList(const std::filesystem::path& path);

// A token label as the token takes it: 1 to 31 bytes of UTF-8, no control character.
bool IsStockLabel(const std::string& label);

// How a serial is compared with the list: without spaces around it, letters in upper case.
std::string StockKey(const std::string& serial);

// What is wrong with `list`, read from `path`, as an operator reads it (UTF-8): the file and,
// for a malformed line, its number; the file's name and the line's text shown escaped. Empty
// when the list holds.
std::string StockListProblem(const std::filesystem::path& path, const StockList& list);
