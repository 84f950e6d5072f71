#include "report/ReasonText.h"

#include "base/Utf8.h"
#include "res/StringTable.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

// The string table's entries lie between these ids.
constexpr unsigned kFirstId = 100, kLastId = 299;

enum class Fill { kNone, kCode, kText };

// One entry in one language, split at its placeholder.
struct Piece {
    unsigned id = 0;
    Fill fill = Fill::kNone;
    std::string before, after;
};

Piece Split(unsigned id, const std::string& text) {
    for (const auto& [placeholder, fill] :
         {std::pair<const char*, Fill>{"%08X", Fill::kCode}, {"%s", Fill::kText}}) {
        const std::size_t at = text.find(placeholder);
        if (at != std::string::npos)
            return Piece{id, fill, text.substr(0, at),
                         text.substr(at + std::char_traits<char>::length(placeholder))};
    }
    return Piece{id, Fill::kNone, text, {}};
}

// Every entry in both languages, the longest first: where two read alike, the longer is meant.
const std::vector<Piece>& Pieces() {
    static const std::vector<Piece> pieces = [] {
        std::vector<Piece> all;
        for (unsigned id = kFirstId; id <= kLastId; ++id)
            for (Language language : {Language::kChinese, Language::kEnglish}) {
                const std::string text = WideToUtf8(LoadStringIn(id, language));
                if (!text.empty())
                    all.push_back(Split(id, text));
            }
        std::stable_sort(all.begin(), all.end(), [](const Piece& a, const Piece& b) {
            return a.before.size() + a.after.size() > b.before.size() + b.after.size();
        });
        return all;
    }();
    return pieces;
}

bool IsUpperHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// An entry read at one place of the text: what fills its placeholder, and where it ends.
struct Match {
    unsigned id = 0;
    std::string value;
    std::size_t end = 0;
};

std::optional<Match> MatchAt(const Piece& piece, const std::string& text, std::size_t at) {
    if (text.compare(at, piece.before.size(), piece.before) != 0)
        return std::nullopt;
    std::size_t next = at + piece.before.size();
    std::string value;
    if (piece.fill == Fill::kCode) {
        constexpr std::size_t kDigits = 8;
        if (text.size() - next < kDigits ||
            !std::all_of(text.begin() + static_cast<std::ptrdiff_t>(next),
                         text.begin() + static_cast<std::ptrdiff_t>(next + kDigits), IsUpperHex))
            return std::nullopt;
        value = text.substr(next, kDigits);
        next += kDigits;
    } else if (piece.fill == Fill::kText) {
        const std::size_t close = piece.after.empty() ? text.size() : text.find(piece.after, next + 1);
        if (close == std::string::npos || close <= next)
            return std::nullopt;
        value = text.substr(next, close - next);
        next = close;
    }
    if (text.compare(next, piece.after.size(), piece.after) != 0)
        return std::nullopt;
    return Match{piece.id, value, next + piece.after.size()};
}

// The text as entries from start to end, when it is made of them only.
std::optional<std::vector<Match>> Read(const std::string& text) {
    // Read from the end back: from each place, the first (longest) entry whose rest also reads.
    std::vector<std::optional<Match>> from(text.size() + 1);
    std::vector<bool> reads(text.size() + 1, false);
    reads[text.size()] = true;
    for (std::size_t at = text.size(); at-- > 0;)
        for (const Piece& piece : Pieces()) {
            std::optional<Match> match = MatchAt(piece, text, at);
            if (match && match->end > at && reads[match->end]) {
                from[at] = std::move(match);
                reads[at] = true;
                break;
            }
        }
    if (text.empty() || !reads[0])
        return std::nullopt;
    std::vector<Match> matches;
    for (std::size_t at = 0; at < text.size(); at = from[at]->end)
        matches.push_back(*from[at]);
    return matches;
}

std::string Written(const Match& match, Language language) {
    std::string text = WideToUtf8(LoadStringIn(match.id, language));
    if (text.empty())
        text = WideToUtf8(LoadStringIn(match.id, Language::kChinese));
    const Piece piece = Split(match.id, text);
    return piece.before + match.value + piece.after;
}

} // namespace

std::string ReasonIn(const std::string& statusText, Language language) {
    const std::optional<std::vector<Match>> matches = Read(statusText);
    if (!matches)
        return statusText;
    std::string written;
    for (const Match& match : *matches)
        written += Written(match, language);
    return written;
}
