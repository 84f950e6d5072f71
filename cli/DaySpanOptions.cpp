#include "cli/DaySpanOptions.h"

#include "attempt/ShownOptionName.h"
#include "base/Utf8.h"
#include "ledger/LedgerDay.h"
#include "ledger/LedgerSources.h"
#include "base/Language.h"

#include <algorithm>

std::wstring ParseDaySpanOptions(const std::wstring& command, const std::vector<std::wstring>& others,
                                 const std::vector<std::wstring>& args, DaySpanOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& name = args[i];
        const bool bOther = std::find(others.begin(), others.end(), name) != others.end();
        if (name != L"--from" && name != L"--to" && !bOther) {
            const std::wstring shown = ShownOptionName(name);
            return command + Localized(L" 不认识的参数", L": unknown argument") +
                   (shown.empty() ? std::wstring() : Localized(L"：", L": ") + shown);
        }
        if (i + 1 == args.size() || args[i + 1].empty())
            return Localized(L"选项缺少参数：", L"Option without its value: ") + name;
        const std::wstring& value = args[++i];
        if (bOther)
            options.other[name] = value;
        else if (!IsLedgerDate(WideToUtf8(value)))
            return name + Localized(L" 需要日期 YYYY-MM-DD", L" needs a date YYYY-MM-DD");
        else
            (name == L"--from" ? options.from : options.to) = WideToUtf8(value);
    }
    const std::string today = LedgerDayName(LocalTimeNow());
    if (options.from.empty())
        options.from = options.to.empty() ? today : options.to;
    if (options.to.empty())
        options.to = std::max(options.from, today);
    if (options.from > options.to)
        return Localized(L"--from 晚于 --to", L"--from is later than --to");
    return {};
}
