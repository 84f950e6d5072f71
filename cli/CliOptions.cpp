#include "cli/CliOptions.h"

#include "base/DecimalText.h"
#include "pki/PkiLimits.h"
#include "seal/RandomPin.h"

namespace {

bool ParseCount(const std::wstring& text, unsigned long& value) {
    const std::optional<unsigned long> parsed = ParseDecimalDigits(text);
    if (!parsed || *parsed == 0 || *parsed == kDecimalTooLong)
        return false;
    value = *parsed;
    return true;
}

class Parser {
  public:
    explicit Parser(const std::vector<std::wstring>& args) : m_args(args) {}

    ParsedCommandLine Run() {
        for (m_next = 0; m_next < m_args.size() && m_result.error.empty();) {
            const std::wstring arg = m_args[m_next++];
            if (arg.size() > 2 && arg.compare(0, 2, L"--") == 0)
                Option(arg);
            else
                Word(arg);
        }
        if (m_result.error.empty() && !m_result.options.bHelp)
            Check();
        return m_result;
    }

  private:
    void Fail(const std::wstring& error) {
        if (m_result.error.empty())
            m_result.error = error;
    }

    void Option(const std::wstring& arg) {
        const std::size_t equals = arg.find(L'=');
        const std::wstring name = arg.substr(0, equals);
        CliOptions& o = m_result.options;
        // A mistyped option may carry a PIN after any separator: only its name is ever shown.
        const std::wstring shownName = ShownOptionName(arg);
        if (IsPinOptionName(shownName))
            return Fail(
                L"PIN不能在命令行中给出（" + shownName +
                L"）：请用 --so-pin-env/--user-pin-env、--so-pin-file/--user-pin-file 或在提示时输入");
        if (name == L"--help")
            o.bHelp = true;
        else if (name == L"--json")
            o.bJson = true;
        else if (name == L"--no-ledger")
            o.bLedger = false;
        else if (name == L"--module")
            Value(arg, equals, o.modulePath);
        else if (name == L"--profile")
            Value(arg, equals, o.profilePath);
        else if (name == L"--stock")
            Value(arg, equals, o.stockPath);
        else if (name == L"--so-pin-env")
            Pin(arg, equals, o.soPin, PinSource::Kind::kEnvironment);
        else if (name == L"--so-pin-file")
            Pin(arg, equals, o.soPin, PinSource::Kind::kFile);
        else if (name == L"--current-so-pin-env")
            Pin(arg, equals, o.currentSoPin, PinSource::Kind::kEnvironment);
        else if (name == L"--current-so-pin-file")
            Pin(arg, equals, o.currentSoPin, PinSource::Kind::kFile);
        else if (name == L"--user-pin-env")
            Pin(arg, equals, o.userPin, PinSource::Kind::kEnvironment);
        else if (name == L"--user-pin-file")
            Pin(arg, equals, o.userPin, PinSource::Kind::kFile);
        else if (name == L"--seal-to")
            Value(arg, equals, o.sealToPath);
        else if (name == L"--random-user-pin") {
            std::wstring text;
            if (Value(arg, equals, text) &&
                (!ParseCount(text, o.randomUserPinLength) || o.randomUserPinLength < kRandomPinMinLength ||
                 o.randomUserPinLength > kRandomPinMaxLength))
                Fail(L"--random-user-pin 需要 " + std::to_wstring(kRandomPinMinLength) + L" 到 " +
                     std::to_wstring(kRandomPinMaxLength) + L" 之间的位数");
        } else if (name == L"--count" || name == L"--idle" || name == L"--limit") {
            std::wstring text;
            unsigned long& value = name == L"--count"  ? o.count
                                   : name == L"--idle" ? o.idleSeconds
                                                       : o.limitSeconds;
            if (Value(arg, equals, text) && !ParseCount(text, value))
                Fail(name + L" 需要一个正整数");
        } else
            return Fail(L"未知选项：" + shownName);
        if ((equals != std::wstring::npos) &&
            (name == L"--help" || name == L"--json" || name == L"--no-ledger"))
            Fail(L"选项不带参数：" + name);
    }

    // The option's value: after '=' or the next argument.
    bool Value(const std::wstring& arg, std::size_t equals, std::wstring& value) {
        if (equals != std::wstring::npos) {
            value = arg.substr(equals + 1);
        } else if (m_next < m_args.size()) {
            value = m_args[m_next++];
        } else {
            Fail(L"选项缺少参数：" + arg);
            return false;
        }
        if (value.empty())
            Fail(L"选项的参数为空：" + arg.substr(0, equals));
        return !value.empty();
    }

    void Pin(const std::wstring& arg, std::size_t equals, PinSource& source, PinSource::Kind kind) {
        if (source.kind != PinSource::Kind::kPrompt)
            return Fail(L"同一个PIN只能有一个来源：" + arg.substr(0, equals));
        if (Value(arg, equals, source.name))
            source.kind = kind;
    }

    void Word(const std::wstring& word) {
        CliOptions& o = m_result.options;
        if (o.command != CliCommand::kNone)
            return Fail(L"多余的参数"); // not echoed: it may be a PIN typed in the wrong place
        const bool bRun = o.bWatch || o.bStation;
        if (word == L"watch" && !bRun)
            o.bWatch = true;
        else if (word == L"station" && !bRun)
            o.bStation = true;
        else if (word == L"info" && !bRun)
            o.command = CliCommand::kInfo;
        else if (word == L"wipe")
            o.command = CliCommand::kWipe;
        else if (word == L"init")
            o.command = CliCommand::kInit;
        else
            Fail(o.bWatch     ? L"watch 之后应为 wipe 或 init"
                 : o.bStation ? L"station 之后应为 wipe 或 init"
                              : L"未知命令");
    }

    void Check() {
        const CliOptions& o = m_result.options;
        if (o.command == CliCommand::kNone)
            return Fail(o.bWatch     ? L"watch 之后应为 wipe 或 init"
                        : o.bStation ? L"station 之后应为 wipe 或 init"
                                     : L"缺少命令：info、wipe、init、watch 或 station");
        if (o.command == CliCommand::kInit && o.profilePath.empty())
            return Fail(L"init 需要 --profile FILE");
        if (o.command != CliCommand::kInit && !o.profilePath.empty())
            return Fail(L"--profile 只用于 init");
        if (o.command != CliCommand::kInit && o.userPin.kind != PinSource::Kind::kPrompt)
            return Fail(L"用户PIN只用于 init");
        if (o.randomUserPinLength != 0 && o.command != CliCommand::kInit)
            return Fail(L"--random-user-pin 只用于 init");
        if (o.randomUserPinLength != 0 && o.userPin.kind != PinSource::Kind::kPrompt)
            return Fail(L"--random-user-pin 时不再给出用户PIN");
        if (o.randomUserPinLength != 0 && o.sealToPath.empty())
            return Fail(L"--random-user-pin 需要 --seal-to CERT（主管的证书）");
        if (o.randomUserPinLength != 0 && !o.bLedger)
            return Fail(L"--random-user-pin 的PIN信封写在记录文件夹中，不能与 --no-ledger 同用");
        if (o.randomUserPinLength == 0 && !o.sealToPath.empty())
            return Fail(L"--seal-to 只与 --random-user-pin 一起使用");
        if (o.command != CliCommand::kInit && o.currentSoPin.kind != PinSource::Kind::kPrompt)
            return Fail(L"当前管理员PIN只用于 init");
        if (o.command == CliCommand::kInfo && o.soPin.kind != PinSource::Kind::kPrompt)
            return Fail(L"info 不需要PIN");
        if (o.command == CliCommand::kInfo && !o.stockPath.empty())
            return Fail(L"--stock 只用于 wipe、init 和 watch");
        if (!o.bWatch && !o.bStation && (o.count != 0 || o.idleSeconds != 0))
            return Fail(L"--count 和 --idle 只用于 watch 和 station");
        if (!o.bStation && o.limitSeconds != 0)
            return Fail(L"--limit 只用于 station");
    }

    const std::vector<std::wstring>& m_args;
    std::size_t m_next = 0;
    ParsedCommandLine m_result;
};

} // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& args) {
    return Parser(args).Run();
}

std::wstring HelpText() {
    const std::wstring retryRange =
        L" (" + std::to_wstring(kRetryMin) + L"-" + std::to_wstring(kRetryMax) + L")";
    const std::wstring sizeRange = L" (0-" + std::to_wstring(kAreaSizeMax) + L")";
    return LR"(用法：
  vantor-cli [选项] info                     读取令牌的硬件信息
  vantor-cli [选项] wipe                     校验管理员PIN后将令牌初始化为空锁
  vantor-cli [选项] init --profile FILE      将令牌初始化为PKI锁
  vantor-cli [选项] watch wipe|init ...      批量：立即执行一次，之后每次插拔令牌执行一次，
                                             直到 Ctrl+C、--count N 次计数操作或 --idle SECONDS 秒无插拔事件；
                                             结束时输出总数、成功、失败；watch wipe 在管理员PIN错误后自行停止，
                                             标准接口下 watch init 在当前管理员PIN错误后同样停止
  vantor-cli [选项] station wipe|init ...    工作站：同时处理所有已插入的令牌，之后插入的令牌一出现即处理，
                                             处理过的令牌在拔出前不再处理；选项、PIN来源、配置文件和退出码同 watch；
                                             --count N 处理 N 支令牌后不再接收新令牌，--idle 同 watch；
                                             station wipe 在管理员PIN错误后不再接收新令牌，标准接口下
                                             station init 在当前管理员PIN错误后同样不再接收新令牌

选项：
  --module PATH          令牌模块文件（默认：程序所在文件夹、系统文件夹、PATH，从不搜索当前文件夹）；
                         指定的模块没有扩展接口时，通过标准PKCS#11接口操作（不能设置重试次数和存储区大小）
  --json                 每次操作输出一行JSON（UTF-8），键与值同记录文件的一行：
                         time,station,user,operation,mode,slot,serial,cos_version,type_before,
                         label,outcome,rv,message（outcome：success、failure，未处理令牌时为 none），
                         另有 note（显示在 message 之后的附注）；watch 和 station 的汇总写到标准错误
  --no-ledger            不写记录文件（默认写入与窗口程序相同的记录文件，VANTOR_LEDGER_DIR 可指定文件夹）
  --so-pin-env NAME      管理员PIN取自环境变量 NAME（init：新的管理员PIN）
  --so-pin-file PATH     管理员PIN取自文件的第一行（UTF-8）
  --user-pin-env NAME    新的用户PIN取自环境变量 NAME（仅 init）
  --user-pin-file PATH   新的用户PIN取自文件的第一行（仅 init）
  --random-user-pin N    每支令牌随机生成 N 位数字的用户PIN（)" +
           std::to_wstring(kRandomPinMinLength) + L"-" + std::to_wstring(kRandomPinMaxLength) +
           LR"(，仅 init、watch init、station init），不显示、不记录明文；
                         写入令牌之前先封装为PIN信封（CMS，AES-256）写入记录文件夹的 pins/日期/，
                         信封文件名记在记录的 message 中；须同时给出 --seal-to
  --seal-to CERT         PIN信封的收件证书（主管的X.509证书，PEM或DER，RSA密钥）；证书不可用时不改动任何令牌
  --stock FILE           本批清单（每行一个序列号，或 CSV 中名为 serial 的列）：不在清单中的令牌
                         不写入任何内容即被拒绝（计为失败）；每次操作后输出清单的完成数；
                         CSV 中的 holder 列为PIN信封的持有人，label 列为该锁自己的名称（init）
  --current-so-pin-env NAME   标准接口下已初始化的令牌：当前管理员PIN取自环境变量 NAME（仅 init）
  --current-so-pin-file PATH  同上，取自文件的第一行
  --count N              watch：N 次计数操作后结束
  --idle SECONDS         watch：SECONDS 秒无插拔事件后结束
  --limit SECONDS        station：一支令牌的操作超过 SECONDS 秒（默认 120）即放弃，记为“操作超时”
  --help                 显示本说明

未指定来源的PIN在终端提示输入（不回显）。PIN不能在命令行中给出：--so-pin 1234 或 --so-pin=1234 被拒绝（退出码 2）。
PIN为空、含有空字节或控制字符、或不是UTF-8文本时，在调用令牌模块之前即被拒绝（退出码 2，只说明来源，不显示PIN）；
PIN文件须为普通文件（上限 4 KB），第一行为PIN（可带 CR LF 和 UTF-8 BOM）。
wipe 时若管理员PIN只剩最后一次尝试机会：在终端上询问（y/N，默认否）；没有终端时按否处理（已取消，退出码 1）。

配置文件（INI，UTF-8）的键及默认值：label=)" +
           std::wstring(kDefaultLabel) + L"、so_pin_max_retry=" + std::to_wstring(kDefaultMaxRetry) +
           retryRange + L"、\n" + L"user_pin_max_retry=" + std::to_wstring(kDefaultMaxRetry) + retryRange +
           L"、public_size=" + std::to_wstring(kDefaultPublicSize) + sizeRange + L"、private_size=" +
           std::to_wstring(kDefaultPrivateSize) + sizeRange + LR"(。

退出码：
  0  成功
  1  令牌拒绝或操作在令牌上失败（包括校验失败、最后一次尝试未确认）
  2  用法或输入错误（范围、长度，PIN来源）
  3  没有令牌或多于一支令牌
  4  令牌模块无法加载、缺少扩展接口或无法初始化
  5  记录文件无法写入（优先于 0 和 1：操作结果仍会输出）
  watch 和 station：无法开始为 4；有记录未能写入为 5；否则每次计数操作都成功时为 0，否则为 1)";
}
