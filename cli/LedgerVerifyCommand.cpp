// vantor-cli ledger verify: whether the day files still read as they were written.
#include "cli/Console.h"
#include "attempt/ExitCode.h"
#include "cli/SupervisorCommands.h"
#include "ledger/LedgerFolder.h"
#include "ledger/LedgerLine.h"
#include "ledger/LedgerSources.h"
#include "ledger/LedgerVerify.h"
#include "base/Utf8.h"

namespace {

LedgerPath PathOf(const std::wstring& argument) {
#ifdef _WIN32
    return argument;
#else
    return WideToUtf8(argument);
#endif
}

std::wstring Shown(const LedgerPath& path) {
#ifdef _WIN32
    return path;
#else
    return Utf8ToWide(path);
#endif
}

std::wstring Verdict(const LedgerVerdict& verdict) {
    const std::wstring chain = L"，最后的链值 " + Utf8ToWide(verdict.lastChain);
    const std::wstring lines = std::to_wstring(verdict.lines) + L" 行";
    const std::wstring cut = verdict.cutAtEnd ? L"（最后一行写入中断，不完整）" : L"";
    switch (verdict.seal) {
    case LedgerSeal::kIntact:
        return L"完好，" + lines + (verdict.lastChain.empty() ? L"" : chain) + cut;
    case LedgerSeal::kNotSealed:
        return L"未封存（早先格式，没有链值），" + lines;
    case LedgerSeal::kBroken:
        return L"已损坏：第 " + std::to_wstring(verdict.brokenLine) +
               L" 行起链值不符（该行被改动、删除或插入）";
    case LedgerSeal::kUnreadable:
        return L"无法读取";
    case LedgerSeal::kMalformed:
        break;
    }
    return L"不是记录文件（第一行不是记录文件的表头）";
}

int ExitCodeOf(LedgerSeal seal) {
    if (seal == LedgerSeal::kBroken)
        return kExitTokenFailed;
    return seal == LedgerSeal::kUnreadable || seal == LedgerSeal::kMalformed ? kExitUsage : kExitSuccess;
}

} // namespace

int RunLedgerVerify(const std::vector<std::wstring>& files) {
    std::vector<LedgerPath> paths;
    for (const std::wstring& file : files) {
        if (file.compare(0, 2, L"--") == 0) {
            WriteLine(ConsoleStream::kError, L"ledger verify 不带选项：" + file);
            return kExitUsage;
        }
        paths.push_back(PathOf(file));
    }
    if (paths.empty())
        paths.push_back(JoinLedgerPath(DefaultLedgerFolder(), LedgerDayFileName(LocalTimeNow())));
    int code = kExitSuccess;
    for (const LedgerPath& path : paths) {
        const LedgerVerdict verdict = VerifyLedgerFile(path);
        WriteLine(ConsoleStream::kOutput, Shown(path) + L"：" + Verdict(verdict));
        // Broken outweighs unreadable: it is what the command is for.
        const int own = ExitCodeOf(verdict.seal);
        if (own == kExitTokenFailed || (own == kExitUsage && code == kExitSuccess))
            code = own;
    }
    return code;
}
