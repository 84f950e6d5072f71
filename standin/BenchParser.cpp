#include "standin/BenchParser.h"

#include "base/HexText.h"
#include "standin/CallNames.h"
#include "token/AuxFunctionList.h"
#include "token/DeviceType.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <limits>
#include <vector>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i]))
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

// Decimal, or hexadecimal after "0x"; the whole word must be the number.
std::optional<std::uint64_t> ParseUnsigned(std::string_view text, std::uint64_t max) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty() || text[0] == '+' || text[0] == '-')
        return std::nullopt;
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size() || value > max)
        return std::nullopt;
    return value;
}

template <class T> std::optional<T> ParseNumber(std::string_view text, T min = 0) {
    auto value = ParseUnsigned(text, std::numeric_limits<T>::max());
    if (!value || *value < min)
        return std::nullopt;
    return static_cast<T>(*value);
}

// The byte of the two hex digits at `at`, either case; -1 when either is not one.
int HexPair(std::string_view text, std::size_t at) {
    return HexByteValue(text[at], text[at + 1]);
}

template <std::size_t N> std::optional<std::array<std::uint8_t, N>> ParseHexBytes(std::string_view text) {
    if (text.size() != 2 * N)
        return std::nullopt;
    std::array<std::uint8_t, N> bytes{};
    for (std::size_t i = 0; i < N; ++i) {
        const int byte = HexPair(text, 2 * i);
        if (byte < 0)
            return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(byte);
    }
    return bytes;
}

// Any even number of hex digits, at most 2 * maxBytes of them.
std::optional<SecureBytes> ParseHexRun(std::string_view text, std::size_t maxBytes) {
    if (text.size() % 2 != 0 || text.size() > 2 * maxBytes)
        return std::nullopt;
    std::vector<std::uint8_t, WipingAllocator<std::uint8_t>> values;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int byte = HexPair(text, i);
        if (byte < 0)
            return std::nullopt;
        values.push_back(static_cast<std::uint8_t>(byte));
    }
    return SecureBytes(values.data(), values.size());
}

// Numbers 0-255 joined by one separator character, exactly N of them.
template <std::size_t N>
std::optional<std::array<std::uint8_t, N>> ParseByteGroups(std::string_view text, char separator) {
    std::array<std::uint8_t, N> bytes{};
    for (std::size_t i = 0; i < N; ++i) {
        std::size_t end = i + 1 < N ? text.find(separator) : text.size();
        if (end == std::string_view::npos)
            return std::nullopt;
        std::string_view part = text.substr(0, end);
        if (part.size() > 3 || part.find_first_not_of("0123456789") != std::string_view::npos)
            return std::nullopt;
        auto value = ParseNumber<std::uint8_t>(part);
        if (!value)
            return std::nullopt;
        bytes[i] = *value;
        text.remove_prefix(end == text.size() ? end : end + 1);
    }
    return bytes;
}

std::optional<std::uint8_t> ParseType(std::string_view text) {
    std::uint8_t code = 0;
    if (DeviceTypeCodeOfWord(text, code))
        return code;
    return ParseNumber<std::uint8_t>(text);
}

std::optional<SecureBytes> ParsePin(std::string_view text) {
    if (text.size() > kBenchMaxPinBytes)
        return std::nullopt;
    return SecureBytes(text.data(), text.size());
}

// Comma-separated names of TokenMisbehaviour bits; "none" for no bit.
std::optional<unsigned> ParseMisbehaviour(std::string_view text) {
    static const struct {
        std::string_view name;
        unsigned bit;
    } kNames[] = {{"label", kMisKeepsLabel},       {"init-flag", kMisHidesInitialised},
                  {"user-pin", kMisDropsUserPin},  {"user-pin-short", kMisCutsUserPin},
                  {"so-pin-short", kMisCutsSoPin}, {"wipe", kMisKeepsType},
                  {"pin-pad", kMisPinPad},         {"label-suffix", kMisLabelSuffix},
                  {"moves", kMisMovesSlot},        {"none", 0}};
    unsigned bits = 0;
    for (;;) {
        const std::size_t comma = text.find(',');
        const std::string_view name = text.substr(0, comma);
        const auto known = std::find_if(std::begin(kNames), std::end(kNames),
                                        [&](const auto& entry) { return entry.name == name; });
        if (known == std::end(kNames))
            return std::nullopt;
        bits |= known->bit;
        if (comma == std::string_view::npos)
            return bits;
        text.remove_prefix(comma + 1);
    }
}

// One key=value of an insert line; an empty string when it was taken.
std::string ApplyTokenKey(TokenDescription& token, std::string_view key, std::string_view value) {
    auto set = [](auto& field, auto parsed) {
        if (!parsed)
            return false;
        field = std::move(*parsed);
        return true;
    };
    bool ok;
    if (key == "type")
        ok = set(token.type, ParseType(value));
    else if (key == "so")
        ok = set(token.soPin, ParsePin(value));
    else if (key == "user")
        ok = set(token.userPin, ParsePin(value));
    else if (key == "so-max")
        ok = set(token.soMax, ParseNumber<std::uint8_t>(value, 1));
    else if (key == "so-left")
        ok = set(token.soLeft, ParseNumber<std::uint8_t>(value));
    else if (key == "user-max")
        ok = set(token.userMax, ParseNumber<std::uint8_t>(value, 1));
    else if (key == "user-left")
        ok = set(token.userLeft, ParseNumber<std::uint8_t>(value));
    else if (key == "label")
        ok = value.size() <= kBenchMaxLabelBytes && set(token.label, std::optional<std::string>(value));
    else if (key == "serial")
        ok = set(token.serial, ParseHexBytes<8>(value));
    else if (key == "atr")
        ok = set(token.atr, ParseHexBytes<16>(value));
    else if (key == "cos")
        ok = set(token.cos, ParseByteGroups<2>(value, '.'));
    else if (key == "made")
        ok = set(token.made, ParseByteGroups<6>(value, '-'));
    else if (key == "total")
        ok = set(token.totalSpace, ParseNumber<std::uint32_t>(value));
    else if (key == "public")
        ok = set(token.publicSize, ParseNumber<std::uint32_t>(value));
    else if (key == "private")
        ok = set(token.privateSize, ParseNumber<std::uint32_t>(value));
    else if (key == "misbehave")
        ok = set(token.misbehaviour, ParseMisbehaviour(value));
    else
        return "unknown key '" + std::string(key) + "'";
    return ok ? std::string() : "bad value for '" + std::string(key) + "'";
}

BenchParse Refuse(std::string why) {
    BenchParse parse;
    parse.error = std::move(why);
    return parse;
}

BenchParse Accept(BenchCommand command) {
    BenchParse parse;
    parse.ok = true;
    parse.command = std::move(command);
    return parse;
}

std::optional<unsigned> ParseSlot(std::string_view text) {
    auto slot = ParseNumber<unsigned>(text);
    if (!slot || *slot >= kBenchMaxSlots)
        return std::nullopt;
    return slot;
}

// The key=value words of an insert or churn line, from `first` on; empty when all were taken.
std::string ParseTokenKeys(const std::vector<std::string_view>& words, std::size_t first,
                           TokenDescription& token) {
    for (std::size_t i = first; i < words.size(); ++i) {
        std::size_t equals = words[i].find('=');
        if (equals == std::string_view::npos)
            return "expected key=value, got '" + std::string(words[i]) + "'";
        std::string why = ApplyTokenKey(token, words[i].substr(0, equals), words[i].substr(equals + 1));
        if (!why.empty())
            return why;
    }
    return std::string();
}

BenchParse ParseInsert(const std::vector<std::string_view>& words) {
    if (words.size() < 2)
        return Refuse("insert needs a slot");
    auto slot = ParseSlot(words[1]);
    if (!slot)
        return Refuse("bad slot");
    BenchInsert insert{*slot, {}};
    std::string why = ParseTokenKeys(words, 2, insert.token);
    if (!why.empty())
        return Refuse(why);
    return Accept(std::move(insert));
}

BenchParse ParseChurn(const std::vector<std::string_view>& words) {
    if (words.size() < 3)
        return Refuse("usage: churn <slot> <count> [key=value ...]");
    auto slot = ParseSlot(words[1]);
    if (!slot)
        return Refuse("bad slot");
    auto count = ParseNumber<unsigned>(words[2], 1);
    if (!count || *count > kBenchMaxChurn)
        return Refuse("bad churn count");
    BenchChurn churn{*slot, *count, {}};
    std::string why = ParseTokenKeys(words, 3, churn.token);
    if (!why.empty())
        return Refuse(why);
    return Accept(std::move(churn));
}

BenchParse ParseFail(const std::vector<std::string_view>& words) {
    if (words.size() < 3 || words.size() > 5)
        return Refuse("usage: fail <call> <code> [once|always] [skip=<n>]");
    if (!IsModuleCallName(words[1]))
        return Refuse("unknown call '" + std::string(words[1]) + "'");
    auto code = ParseNumber<std::uint32_t>(words[2]);
    if (!code)
        return Refuse("bad result code");
    BenchFail fail{std::string(words[1]), *code, false, 0};
    for (std::size_t i = 3; i < words.size(); ++i) {
        if (words[i] == "once" || words[i] == "always") {
            fail.always = words[i] == "always";
        } else if (words[i].substr(0, 5) == "skip=") {
            auto skip = ParseNumber<unsigned>(words[i].substr(5));
            if (!skip)
                return Refuse("bad skip count");
            fail.skip = *skip;
        } else {
            return Refuse("expected once, always or skip=<n>");
        }
    }
    return Accept(std::move(fail));
}

// The optional slot=<n> and serial=<16 hex> words of a delay or hang line, from `first` on.
std::optional<TokenFilter> ParseFilter(const std::vector<std::string_view>& words, std::size_t first) {
    TokenFilter filter;
    for (std::size_t i = first; i < words.size(); ++i) {
        const std::string_view word = words[i];
        bool taken = false;
        if (word.substr(0, 5) == "slot=" && !filter.slot)
            taken = (filter.slot = ParseSlot(word.substr(5))).has_value();
        else if (word.substr(0, 7) == "serial=" && !filter.serial)
            taken = (filter.serial = ParseHexBytes<8>(word.substr(7))).has_value();
        if (!taken)
            return std::nullopt;
    }
    return filter;
}

BenchParse ParseDelay(const std::vector<std::string_view>& words) {
    if (words.size() < 3 || words.size() > 5)
        return Refuse("usage: delay <call> <ms> [slot=<n>] [serial=<16 hex>]");
    if (!IsModuleCallName(words[1]))
        return Refuse("unknown call '" + std::string(words[1]) + "'");
    auto ms = ParseNumber<std::uint32_t>(words[2]);
    if (!ms || *ms > kBenchMaxDelayMs)
        return Refuse("bad delay");
    auto filter = ParseFilter(words, 3);
    if (!filter)
        return Refuse("expected slot=<n> or serial=<16 hex>");
    return Accept(BenchDelay{std::string(words[1]), *ms, *filter});
}

BenchParse ParseHang(const std::vector<std::string_view>& words) {
    if (words.size() < 2 || words.size() > 4)
        return Refuse("usage: hang <call> [slot=<n>] [serial=<16 hex>]");
    if (!IsModuleCallName(words[1]))
        return Refuse("unknown call '" + std::string(words[1]) + "'");
    auto filter = ParseFilter(words, 2);
    if (!filter)
        return Refuse("expected slot=<n> or serial=<16 hex>");
    return Accept(BenchHang{std::string(words[1]), *filter});
}

// One key=value of a state line; false for an unknown key or a bad value.
bool ApplyStateKey(BenchState& line, std::string_view key, std::string_view value) {
    TokenState& state = line.state;
    auto set = [](auto& field, auto parsed) {
        if (!parsed)
            return false;
        field = std::move(*parsed);
        return true;
    };
    if (key == "serial")
        return set(line.serial, ParseHexBytes<8>(value));
    if (key == "type")
        return set(state.type, ParseNumber<std::uint8_t>(value));
    if (key == "so")
        return set(state.soPin, ParseHexRun(value, kBenchMaxPinBytes));
    if (key == "user")
        return set(state.userPin, ParseHexRun(value, kBenchMaxPinBytes));
    if (key == "so-max")
        return set(state.soMax, ParseNumber<std::uint8_t>(value));
    if (key == "so-left")
        return set(state.soLeft, ParseNumber<std::uint8_t>(value));
    if (key == "user-max")
        return set(state.userMax, ParseNumber<std::uint8_t>(value));
    if (key == "user-left")
        return set(state.userLeft, ParseNumber<std::uint8_t>(value));
    if (key == "label") {
        auto label = ParseHexRun(value, kBenchMaxLabelBytes);
        if (label)
            state.label.assign(reinterpret_cast<const char*>(label->data()), label->size());
        return label.has_value();
    }
    if (key == "public")
        return set(state.publicSize, ParseNumber<std::uint32_t>(value));
    if (key == "private")
        return set(state.privateSize, ParseNumber<std::uint32_t>(value));
    return false;
}

// Written by the module itself, so every key is there, each once, in any order.
BenchParse ParseState(const std::vector<std::string_view>& words) {
    constexpr std::size_t kKeys = 11;
    auto slot = words.size() == 2 + kKeys ? ParseSlot(words[1]) : std::nullopt;
    if (!slot)
        return Refuse("usage: state <slot> serial=... type=... so=... user=... so-max=... so-left=... "
                      "user-max=... user-left=... label=... public=... private=...");
    BenchState state{*slot, {}, {}};
    std::vector<std::string_view> seen;
    for (std::size_t i = 2; i < words.size(); ++i) {
        const std::size_t equals = words[i].find('=');
        const std::string_view key = words[i].substr(0, equals);
        if (equals == std::string_view::npos || std::find(seen.begin(), seen.end(), key) != seen.end() ||
            !ApplyStateKey(state, key, words[i].substr(equals + 1)))
            return Refuse("bad state word '" + std::string(words[i]) + "'");
        seen.push_back(key);
    }
    return Accept(std::move(state));
}

BenchParse ParseWords(const std::vector<std::string_view>& words) {
    if (words.empty())
        return Accept(BenchNothing{});
    std::string_view verb = words[0];
    auto alone = [&](BenchCommand command) {
        return words.size() == 1 ? Accept(std::move(command))
                                 : Refuse(std::string(verb) + " takes no arguments");
    };
    if (verb == "reset")
        return alone(BenchReset{});
    if (verb == "default")
        return alone(BenchDefault{});
    if (verb == "clear-faults")
        return alone(BenchClearFaults{});
    if (verb == "clear-journal")
        return alone(BenchClearJournal{});
    if (verb == "slots") {
        auto count = words.size() == 2 ? ParseNumber<unsigned>(words[1], 1) : std::nullopt;
        if (!count || *count > kBenchMaxSlots)
            return Refuse("usage: slots <1-64>");
        return Accept(BenchSlots{*count});
    }
    if (verb == "insert")
        return ParseInsert(words);
    if (verb == "remove") {
        auto slot = words.size() == 2 ? ParseSlot(words[1]) : std::nullopt;
        if (!slot)
            return Refuse("usage: remove <slot>");
        return Accept(BenchRemove{*slot});
    }
    if (verb == "churn")
        return ParseChurn(words);
    if (verb == "fail")
        return ParseFail(words);
    if (verb == "delay")
        return ParseDelay(words);
    if (verb == "hang")
        return ParseHang(words);
    if (verb == "state")
        return ParseState(words);
    return Refuse("unknown command '" + std::string(verb) + "'");
}

} // namespace

BenchParse ParseBenchLine(std::string_view line) noexcept {
    try {
        std::size_t comment = line.find('#');
        if (comment != std::string_view::npos)
            line = line.substr(0, comment);
        return ParseWords(SplitWords(line));
    } catch (...) {
        return BenchParse(); // out of memory: not ok, and no room for the reason either
    }
}
