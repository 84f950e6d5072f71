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
    const std::wstring chain = L"，最后的链值 " + Utf8ToWide(verdict.lastChain);
    const std::wstring lines = std::to_wstring(verdict.lines) + L" 行";
    const std::wstring cut = verdict.cutAtEnd ? L"（最后一行写入中断，不完整）" : L"";
    const std::wstring line = std::to_wstring(verdict.brokenLine);
    switch (verdict.seal) {
    case LedgerSeal::kIntact:
        return L"完好，" + lines + (verdict.lastChain.empty() ? L"" : chain) + cut;
    case LedgerSeal::kNotSealed:
        return L"未封存（早先格式，没有链值），" + lines;
    case LedgerSeal::kBroken:
        if (verdict.brokenWithoutValue)
            return L"已损坏：第 " + line + L" 行没有链值（写入中断留下的残行，或被手工添加、改动）";
        return L"已损坏：第 " + line + L" 行起链值不符（该行被改动、删除或插入）";
    case LedgerSeal::kUnreadable:
        return verdict.read == FileRead::kUnreadable || verdict.read == FileRead::kRead
                   ? L"无法读取"
                   : L"无法读取：" + Utf8ToWide(FileReadProblem(verdict.read, 0));
    case LedgerSeal::kEmpty:
        return L"不是记录文件（空文件）";
    case LedgerSeal::kMalformed:
        break;
    }
    return L"不是记录文件（第一行不是记录文件的表头）";
}

// What the file says about the kept value; empty when the file is no ledger at all.
std::wstring AnchorVerdict(const LedgerVerdict& verdict, const std::string& anchor) {
    const std::wstring value = Utf8ToWide(anchor);
    if (!IsLedgerFile(verdict))
        return {};
    if (verdict.anchorLine == 0)
        return L"没有一行带有所保存的链值 " + value + L"（文件被截短或重新封存过）";
    const std::wstring at = L"所保存的链值在第 " + std::to_wstring(verdict.anchorLine) + L" 行";
    if (AnchorHolds(verdict))
        return at + L"，此行及之前各行完好";
    return at + L"，但第 " + std::to_wstring(verdict.brokenLine) + L" 行起已不成立";
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
    WriteLine(ConsoleStream::kError, what + L"（vantor-cli --help 显示用法）");
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
                return Usage(L"--anchor 需要一个链值：64 位十六进制数字");
        } else if (arg.compare(0, 2, L"--") == 0) {
            return Usage(L"ledger verify 不带选项（--anchor 除外）：" + ShownOptionName(arg));
        } else {
            paths.push_back(PathOf(arg));
        }
    }
    if (!anchor.empty() && paths.size() > 1)
        return Usage(L"--anchor 只核对一个记录文件");
    if (paths.empty())
        paths.push_back(JoinLedgerPath(DefaultLedgerFolder(), LedgerDayFileName(LocalTimeNow())));
    int code = kExitSuccess;
    for (const LedgerPath& path : paths) {
        const LedgerVerdict verdict = VerifyLedgerFile(path, anchor);
        WriteLine(ConsoleStream::kOutput, Shown(path) + L"：" + Verdict(verdict));
        int own = ExitCodeOf(verdict.seal);
        const std::wstring anchored = anchor.empty() ? std::wstring() : AnchorVerdict(verdict, anchor);
        if (!anchored.empty()) {
            WriteLine(ConsoleStream::kOutput, Shown(path) + L"：" + anchored);
            if (!AnchorHolds(verdict))
                own = kExitTokenFailed;
        }
        // Broken outweighs unreadable: it is what the command is for.
        if (own == kExitTokenFailed || (own == kExitUsage && code == kExitSuccess))
            code = own;
    }
    return code;
}
