// vantor-cli ledger verify: whether the day files still read as they were written, and
// whether one still passes through a chain value a supervisor kept.
#include "cli/CliOptions.h"
#include "cli/Console.h"
#include "attempt/ExitCode.h"
#include "cli/SupervisorCommands.h"
#include "ledger/LedgerFolder.h"
#include "ledger/LedgerDay.h"
#include "ledger/LedgerLine.h"
#include "ledger/LedgerSources.h"
#include "ledger/LedgerVerify.h"
#include "base/ShownText.h"
#include "base/Utf8.h"
#include "base/Language.h"

#include <cwctype>

namespace {

LedgerPath PathOf(const std::wstring& argument) {
#ifdef _WIN32
    return argument;
#else
    return WideToUtf8(argument);
#endif
}

// A name from the command line or the folder, its control characters escaped.
std::wstring Shown(const LedgerPath& path) {
#ifdef _WIN32
    return ShownText(path, 400);
#else
    return Utf8ToWide(ShownText(path, 800));
#endif
}

std::wstring Verdict(const LedgerVerdict& verdict) {
    const std::wstring chain =
        Localized(L"，最后的链值 ", L", last chain value ") + Utf8ToWide(verdict.lastChain);
    const std::wstring lines =
        std::to_wstring(verdict.lines) +
        (verdict.lines == 1 ? Localized(L" 行", L" line") : Localized(L" 行", L" lines"));
    const std::wstring cut = verdict.cutAtEnd ? Localized(L"（最后一行写入中断，不完整）",
                                                          L" (the last line was cut off while being written)")
                                              : L"";
    const std::wstring line = std::to_wstring(verdict.brokenLine);
    switch (verdict.seal) {
    case LedgerSeal::kIntact:
        return Localized(L"完好，", L"intact, ") + lines + (verdict.lastChain.empty() ? L"" : chain) + cut;
    case LedgerSeal::kNotSealed:
        return Localized(L"未封存（早先格式，没有链值），",
                         L"not sealed (earlier format, no chain values), ") +
               lines;
    case LedgerSeal::kBroken:
        if (verdict.brokenWithoutValue)
            return Localized(L"已损坏：第 ", L"broken: line ") + line +
                   Localized(L" 行没有链值（写入中断留下的残行，或被手工添加、改动）",
                             L" has no chain value (a line left by an interrupted write, or added or changed "
                             L"by hand)");
        return Localized(L"已损坏：第 ", L"broken: the chain values do not match from line ") + line +
               Localized(L" 行起链值不符（该行被改动、删除或插入）",
                         L" on (that line was changed, deleted or inserted)");
    case LedgerSeal::kUnreadable:
        return verdict.read == FileRead::kUnreadable || verdict.read == FileRead::kRead
                   ? Localized(L"无法读取", L"cannot be read")
                   : Localized(L"无法读取：", L"cannot be read: ") +
                         Utf8ToWide(FileReadProblem(verdict.read, 0));
    case LedgerSeal::kEmpty:
        return Localized(L"不是记录文件（空文件）", L"not a ledger file (empty file)");
    case LedgerSeal::kMalformed:
        break;
    }
    return Localized(L"不是记录文件（第一行不是记录文件的表头）",
                     L"not a ledger file (its first line is not a ledger header)");
}

// What the file says about the kept value; empty when the file is no ledger at all.
std::wstring AnchorVerdict(const LedgerVerdict& verdict, const std::string& anchor) {
    const std::wstring value = Utf8ToWide(anchor);
    if (!IsLedgerFile(verdict))
        return {};
    if (verdict.anchorLine == 0)
        return Localized(L"没有一行带有所保存的链值 ", L"no line carries the kept chain value ") + value +
               Localized(L"（文件被截短或重新封存过）", L" (the file was shortened or sealed anew)");
    const std::wstring at = Localized(L"所保存的链值在第 ", L"the kept chain value is on line ") +
                            std::to_wstring(verdict.anchorLine) + Localized(L" 行", L"");
    if (AnchorHolds(verdict))
        return at + Localized(L"，此行及之前各行完好", L"; this line and every line before it are intact");
    return at + Localized(L"，但第 ", L", but from line ") + std::to_wstring(verdict.brokenLine) +
           Localized(L" 行起已不成立", L" on the file no longer holds");
}

int ExitCodeOf(LedgerSeal seal) {
    if (seal == LedgerSeal::kBroken)
        return kExitTokenFailed;
    return seal == LedgerSeal::kIntact || seal == LedgerSeal::kNotSealed ? kExitSuccess : kExitUsage;
}

// 64 hex digits, as the report and verify print a chain value; lowercase as written.
bool ReadAnchor(const std::wstring& text, std::string& anchor) {
    if (text.size() != 64)
        return false;
    anchor.clear();
    for (wchar_t c : text) {
        if (c > 0x7F || !std::iswxdigit(c))
            return false;
        anchor += static_cast<char>(std::towlower(c));
    }
    return true;
}

int Usage(const std::wstring& what) {
    WriteLine(ConsoleStream::kError, what + UsageHint());
    return kExitUsage;
}

} // namespace

int RunLedgerVerify(const std::vector<std::wstring>& args) {
    std::vector<LedgerPath> paths;
    std::string anchor;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (arg == L"--anchor") {
            // A value of another form is not echoed: it may be anything pasted by mistake.
            if (i + 1 == args.size() || !anchor.empty() || !ReadAnchor(args[++i], anchor))
                return Usage(Localized(L"--anchor 需要一个链值：64 位十六进制数字",
                                       L"--anchor needs a chain value: 64 hexadecimal digits"));
        } else if (arg.compare(0, 2, L"--") == 0) {
            return Usage(Localized(L"ledger verify 不带选项（--anchor 除外）：",
                                   L"ledger verify takes no options (except --anchor): ") +
                         ShownOptionName(arg));
        } else {
            paths.push_back(PathOf(arg));
        }
    }
    if (!anchor.empty() && paths.size() > 1)
        return Usage(Localized(L"--anchor 只核对一个记录文件", L"--anchor checks one ledger file only"));
    if (paths.empty())
        paths.push_back(JoinLedgerPath(DefaultLedgerFolder(), LedgerDayFileName(LocalTimeNow())));
    int code = kExitSuccess;
    for (const LedgerPath& path : paths) {
        const LedgerVerdict verdict = VerifyLedgerFile(path, anchor);
        WriteLine(ConsoleStream::kOutput, Shown(path) + Localized(L"：", L": ") + Verdict(verdict));
        int own = ExitCodeOf(verdict.seal);
        const std::wstring anchored = anchor.empty() ? std::wstring() : AnchorVerdict(verdict, anchor);
        if (!anchored.empty()) {
            WriteLine(ConsoleStream::kOutput, Shown(path) + Localized(L"：", L": ") + anchored);
            if (!AnchorHolds(verdict))
                own = kExitTokenFailed;
        }
        // Broken outweighs unreadable: it is what the command is for.
        if (own == kExitTokenFailed || (own == kExitUsage && code == kExitSuccess))
            code = own;
    }
    return code;
}
