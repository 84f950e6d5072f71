#include "cli/SupervisorCommands.h"

#include "cli/Console.h"
#include "attempt/ExitCode.h"

bool IsSupervisorCommand(const std::vector<std::wstring>& args) {
    return !args.empty() && (args[0] == L"ledger" || args[0] == L"report");
}

int RunSupervisorCommand(const std::vector<std::wstring>& args) {
    const std::vector<std::wstring> rest(args.begin() + 1, args.end());
    if (args[0] == L"report")
        return RunReport(rest);
    if (!rest.empty() && rest[0] == L"verify")
        return RunLedgerVerify(std::vector<std::wstring>(rest.begin() + 1, rest.end()));
    WriteLine(ConsoleStream::kError, L"ledger 之后应为 verify（vantor-cli --help 显示用法）");
    return kExitUsage;
}

std::wstring SupervisorHelpText() {
    return LR"(记录文件：
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
                                             有文件不是记录文件或无法读取、输入有误或无法写入)";
}
