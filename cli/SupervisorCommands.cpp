#include "cli/SupervisorCommands.h"

#include "attempt/ExitCode.h"
#include "base/Utf8.h"
#include "cli/CliOptions.h"
#include "cli/Console.h"
#include "ledger/LedgerDay.h"
#include "base/Language.h"

namespace {

bool IsReportOption(const std::wstring& arg) {
    for (const wchar_t* name : {L"--from", L"--to", L"--out", L"--stock"})
        if (arg == name)
            return true;
    return false;
}

// The arguments either command would refuse, refused here first with no more of them shown than
// an option's name: anything glued to an option or given in a value's place may be a PIN.
// Empty when the command may read them itself.
std::wstring ScreenReport(const std::vector<std::wstring>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& name = args[i];
        if (!IsReportOption(name)) {
            const std::wstring shown = ShownOptionName(name);
            return Localized(L"report 不认识的参数", L"report: unknown argument") +
                   (shown.empty() ? std::wstring() : Localized(L"：", L": ") + shown);
        }
        if (i + 1 == args.size())
            break; // the report names the missing value
        const std::wstring& value = args[++i];
        if ((name == L"--from" || name == L"--to") && !value.empty() && !IsLedgerDate(WideToUtf8(value)))
            return name + Localized(L" 需要日期 YYYY-MM-DD", L" needs a date YYYY-MM-DD");
    }
    return std::wstring();
}

// `--anchor VALUE` is the one option; its value is checked, and never shown, by the command.
std::wstring ScreenLedgerVerify(const std::vector<std::wstring>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == L"--anchor") {
            ++i;
            continue;
        }
        if (args[i].compare(0, 2, L"--") == 0)
            return Localized(L"ledger verify 不带选项（--anchor 除外）：",
                             L"ledger verify takes no options (except --anchor): ") +
                   ShownOptionName(args[i]);
    }
    return std::wstring();
}

} // namespace

bool IsSupervisorCommand(const std::vector<std::wstring>& args) {
    return !args.empty() && (args[0] == L"ledger" || args[0] == L"report" || args[0] == L"pins");
}

int RunSupervisorCommand(const std::vector<std::wstring>& args) {
    const std::vector<std::wstring> rest(args.begin() + 1, args.end());
    if (args[0] == L"report") {
        const std::wstring refused = ScreenReport(rest);
        return refused.empty() ? RunReport(rest) : RefuseUsage(refused + UsageHint());
    }
    if (args[0] == L"pins") {
        if (rest.empty() || rest[0] != L"letters")
            return RefuseUsage(Localized(L"pins 之后应为 letters", L"pins must be followed by letters") +
                               std::wstring(UsageHint()));
        return RunPinLetters(std::vector<std::wstring>(rest.begin() + 1, rest.end()));
    }
    if (rest.empty() || rest[0] != L"verify")
        return RefuseUsage(Localized(L"ledger 之后应为 verify", L"ledger must be followed by verify") +
                           std::wstring(UsageHint()));
    const std::vector<std::wstring> files(rest.begin() + 1, rest.end());
    const std::wstring refused = ScreenLedgerVerify(files);
    return refused.empty() ? RunLedgerVerify(files) : RefuseUsage(refused);
}

std::wstring SupervisorHelpText() {
    return Localized(LR"(记录文件：
  vantor-cli ledger verify [FILE...]         核对记录文件的链值（默认：今天的记录文件），
                                             逐个文件输出：完好、未封存（早先格式）、已损坏（第几行起）
                                             并给出最后的链值；退出码 0 完好或未封存，1 有文件已损坏，
                                             2 有文件无法读取或不是记录文件（空文件、文件夹、设备、管道）
  vantor-cli ledger verify --anchor VALUE [FILE]
                                             另核对文件是否仍经过主管保存的链值 VALUE（64 位十六进制）：
                                             带有该链值的行及之前各行都完好时退出码为 0；没有一行带有它
                                             （文件被截短或重新封存）或此前有行不成立时为 1
  vantor-cli report [--from DATE] [--to DATE] [--out FILE.html] [--stock FILE]
                                             将记录文件夹中 DATE（YYYY-MM-DD，默认今天）起止的记录
                                             写成一页 HTML 报告（默认 vantor-report-DATE.html）：
                                             按操作与结果的总数、每小时的令牌数、失败原因、工位、
                                             操作员、重复处理、清单进度（--stock：每行一个序列号，
                                             或含 serial 列的 CSV）以及各文件的封存状态和最后的链值，
                                             已损坏的文件标明为已损坏；退出码 0 已写入，2 没有记录、
                                             有文件不是记录文件或无法读取、输入有误或无法写入
  vantor-cli pins letters [--from DATE] [--to DATE] [--key KEY] --out FILE.html
                                             用主管的私钥打开记录文件夹中 DATE（默认今天）起止的
                                             PIN信封，写成一页可打印的用户PIN密码函（每个令牌一页）；
                                             KEY：PEM 私钥或 PKCS#12 文件（.p12/.pfx），密码取自环境变量
                                             VANTOR_KEY_PASSWORD，未设置时在终端提示输入；Windows 上
                                             不给 --key 时使用当前用户证书存储中的私钥。打不开的信封
                                             列在最后一页；退出码 0 全部打开，1 有信封未能打开，
                                             2 没有信封、私钥无法读取、输入有误或无法写入)",
                     LR"(Ledger:
  vantor-cli ledger verify [FILE...]         check the ledger files' chain values (default: today's ledger file),
                                             printing for each file: intact, not sealed (earlier format) or
                                             broken (from which line on), with the last chain value; exit code
                                             0 intact or not sealed, 1 a file is broken, 2 a file cannot be read
                                             or is not a ledger file (empty file, folder, device, pipe)
  vantor-cli ledger verify --anchor VALUE [FILE]
                                             also check that the file still passes through the chain value
                                             VALUE a supervisor kept (64 hexadecimal digits): exit code 0 when
                                             the line carrying it and every line before it are intact; 1 when no
                                             line carries it (the file was shortened or sealed anew) or a line
                                             before it does not hold
  vantor-cli report [--from DATE] [--to DATE] [--out FILE.html] [--stock FILE]
                                             write the ledger folder's lines from DATE to DATE (YYYY-MM-DD,
                                             default today) as one HTML report page (default
                                             vantor-report-DATE.html): totals by operation and outcome, tokens
                                             per hour, failure reasons, stations, operators, tokens handled more
                                             than once, stock list progress (--stock: one serial number per line,
                                             or a CSV with a serial column) and each file's seal state and last
                                             chain value, a broken file marked as broken; exit code 0 written,
                                             2 no ledger lines, a file that is not a ledger file or cannot be
                                             read, an input error, or the page cannot be written
  vantor-cli pins letters [--from DATE] [--to DATE] [--key KEY] --out FILE.html
                                             open the PIN envelopes of the ledger folder from DATE to DATE
                                             (default today) with the supervisor's private key and write them as
                                             one page of printable user PIN letters (one page per token); KEY: a
                                             PEM private key or a PKCS#12 file (.p12/.pfx), its password from the
                                             environment variable VANTOR_KEY_PASSWORD, asked for at the terminal
                                             when that is not set; on Windows without --key the private key in
                                             the current user's certificate store is used. Envelopes that cannot
                                             be opened are listed on the last page; exit code 0 all opened,
                                             1 some envelopes could not be opened, 2 no envelopes, the private
                                             key cannot be read, an input error, or the page cannot be written)");
}
