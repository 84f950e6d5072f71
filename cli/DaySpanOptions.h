#pragma once
// The options of a supervisor's command over a span of days: --from and --to (YYYY-MM-DD, today
// by default, a lone one standing for both ends as far as today) and the command's own options,
// each with one value.
#include <map>
#include <string>
#include <vector>

struct DaySpanOptions {
    std::string from, to;                       // from <= to
    std::map<std::wstring, std::wstring> other; // by option name, as given
};

// `command` names the command in a message; `others` are the names of its own options. Empty
// when the options hold; otherwise what is wrong (no value of an option is ever shown).
std::wstring ParseDaySpanOptions(const std::wstring& command, const std::vector<std::wstring>& others,
                                 const std::vector<std::wstring>& args, DaySpanOptions& options);
