#include "cli/CliOptions.h"

#include "base/DecimalText.h"
#include "base/Language.h"
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
                Localized(L"PIN不能在命令行中给出（", L"A PIN cannot be given on the command line (") +
                shownName +
                Localized(
                    L"）：请用 --so-pin-env/--user-pin-env、--so-pin-file/--user-pin-file 或在提示时输入",
                    L"): please use --so-pin-env/--user-pin-env, --so-pin-file/--user-pin-file "
                    L"or type it when asked"));
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
                Fail(Localized(L"--random-user-pin 需要 ", L"--random-user-pin needs from ") +
                     std::to_wstring(kRandomPinMinLength) + Localized(L" 到 ", L" to ") +
                     std::to_wstring(kRandomPinMaxLength) + Localized(L" 之间的位数", L" digits"));
        } else if (name == L"--count" || name == L"--idle" || name == L"--limit") {
            std::wstring text;
            unsigned long& value = name == L"--count"  ? o.count
                                   : name == L"--idle" ? o.idleSeconds
                                                       : o.limitSeconds;
            if (Value(arg, equals, text) && !ParseCount(text, value))
                Fail(name + Localized(L" 需要一个正整数", L" needs a positive whole number"));
        } else
            return Fail(Localized(L"未知选项：", L"Unknown option: ") + shownName);
        if ((equals != std::wstring::npos) &&
            (name == L"--help" || name == L"--json" || name == L"--no-ledger"))
            Fail(Localized(L"选项不带参数：", L"This option takes no value: ") + name);
    }

    // The option's value: after '=' or the next argument.
    bool Value(const std::wstring& arg, std::size_t equals, std::wstring& value) {
        if (equals != std::wstring::npos) {
            value = arg.substr(equals + 1);
        } else if (m_next < m_args.size()) {
            value = m_args[m_next++];
        } else {
            Fail(Localized(L"选项缺少参数：", L"Option without its value: ") + arg);
            return false;
        }
        if (value.empty())
            Fail(Localized(L"选项的参数为空：", L"Option with an empty value: ") + arg.substr(0, equals));
        return !value.empty();
    }

    void Pin(const std::wstring& arg, std::size_t equals, PinSource& source, PinSource::Kind kind) {
        if (source.kind != PinSource::Kind::kPrompt)
            return Fail(Localized(L"同一个PIN只能有一个来源：", L"A PIN can have only one source: ") +
                        arg.substr(0, equals));
        if (Value(arg, equals, source.name))
            source.kind = kind;
    }

    void Word(const std::wstring& word) {
        CliOptions& o = m_result.options;
        if (o.command != CliCommand::kNone)
            return Fail(
                Localized(L"多余的参数",
                          L"One argument too many")); // not echoed: it may be a PIN typed in the wrong place
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
            Fail(o.bWatch
                     ? Localized(L"watch 之后应为 wipe 或 init", L"watch must be followed by wipe or init")
                 : o.bStation ? Localized(L"station 之后应为 wipe 或 init",
                                          L"station must be followed by wipe or init")
                              : Localized(L"未知命令", L"Unknown command"));
    }

    void Check() {
        const CliOptions& o = m_result.options;
        if (o.command == CliCommand::kNone)
            return Fail(o.bWatch     ? Localized(L"watch 之后应为 wipe 或 init",
                                                 L"watch must be followed by wipe or init")
                        : o.bStation ? Localized(L"station 之后应为 wipe 或 init",
                                                 L"station must be followed by wipe or init")
                                     : Localized(L"缺少命令：info、wipe、init、watch 或 station",
                                                 L"Missing command: info, wipe, init, watch or station"));
        if (o.command == CliCommand::kInit && o.profilePath.empty())
            return Fail(Localized(L"init 需要 --profile FILE", L"init needs --profile FILE"));
        if (o.command != CliCommand::kInit && !o.profilePath.empty())
            return Fail(Localized(L"--profile 只用于 init", L"--profile is for init only"));
        if (o.command != CliCommand::kInit && o.userPin.kind != PinSource::Kind::kPrompt)
            return Fail(Localized(L"用户PIN只用于 init", L"A user PIN is for init only"));
        if (o.randomUserPinLength != 0 && o.command != CliCommand::kInit)
            return Fail(Localized(L"--random-user-pin 只用于 init", L"--random-user-pin is for init only"));
        if (o.randomUserPinLength != 0 && o.userPin.kind != PinSource::Kind::kPrompt)
            return Fail(Localized(L"--random-user-pin 时不再给出用户PIN",
                                  L"With --random-user-pin no user PIN is given"));
        if (o.randomUserPinLength != 0 && o.sealToPath.empty())
            return Fail(Localized(L"--random-user-pin 需要 --seal-to CERT（主管的证书）",
                                  L"--random-user-pin needs --seal-to CERT (the supervisor's certificate)"));
        if (o.randomUserPinLength != 0 && !o.bLedger)
            return Fail(Localized(L"--random-user-pin 的PIN信封写在记录文件夹中，不能与 --no-ledger 同用",
                                  L"--random-user-pin writes its PIN envelopes into the ledger folder, so it "
                                  L"cannot be used with --no-ledger"));
        if (o.randomUserPinLength == 0 && !o.sealToPath.empty())
            return Fail(Localized(L"--seal-to 只与 --random-user-pin 一起使用",
                                  L"--seal-to is only used with --random-user-pin"));
        if (o.command != CliCommand::kInit && o.currentSoPin.kind != PinSource::Kind::kPrompt)
            return Fail(Localized(L"当前管理员PIN只用于 init", L"A current SO PIN is for init only"));
        if (o.command == CliCommand::kInfo && o.soPin.kind != PinSource::Kind::kPrompt)
            return Fail(Localized(L"info 不需要PIN", L"info needs no PIN"));
        if (o.command == CliCommand::kInfo && !o.stockPath.empty())
            return Fail(Localized(L"--stock 只用于 wipe、init 和 watch",
                                  L"--stock is for wipe, init and watch only"));
        if (!o.bWatch && !o.bStation && (o.count != 0 || o.idleSeconds != 0))
            return Fail(Localized(L"--count 和 --idle 只用于 watch 和 station",
                                  L"--count and --idle are for watch and station only"));
        if (!o.bStation && o.limitSeconds != 0)
            return Fail(Localized(L"--limit 只用于 station", L"--limit is for station only"));
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
    const std::wstring pinDigits =
        std::to_wstring(kRandomPinMinLength) + L"-" + std::to_wstring(kRandomPinMaxLength);
    return Localized(LR"(用法：
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
  --random-user-pin N    每支令牌随机生成 N 位数字的用户PIN（)",
                     LR"(Usage:
  vantor-cli [options] info                  read the token's hardware information
  vantor-cli [options] wipe                  check the SO PIN, then wipe the token to blank
  vantor-cli [options] init --profile FILE   initialise the token as PKI
  vantor-cli [options] watch wipe|init ...   batch: run once now, then once each time a token is plugged in
                                             or removed, until Ctrl+C, N counted attempts (--count N) or
                                             SECONDS seconds without a token plugged in or removed (--idle SECONDS);
                                             prints Total, Succeeded and Failed at the end; watch wipe stops by
                                             itself after a wrong SO PIN, and on the standard interface
                                             watch init stops likewise after a wrong current SO PIN
  vantor-cli [options] station wipe|init ... station: handle every token plugged in at once, and each token
                                             plugged in later as soon as it appears; a token handled is not
                                             handled again until it is removed; options, PIN sources, profile
                                             and exit codes as for watch; --count N takes no new tokens after
                                             N tokens, --idle as for watch; station wipe takes no new tokens
                                             after a wrong SO PIN, and on the standard interface station init
                                             likewise after a wrong current SO PIN

Options:
  --module PATH          the token module file (default: the program's folder, the system folder, PATH; the
                         current folder is never searched); a module named here without the vendor extension
                         is used through the standard PKCS#11 interface (retry limits and storage sizes
                         cannot be set)
  --json                 one JSON line (UTF-8) per attempt, its keys and values those of a ledger line:
                         time,station,user,operation,mode,slot,serial,cos_version,type_before,
                         label,outcome,rv,message (outcome: success, failure, or none when no token was
                         handled), and note (the remark shown after the message); the summary of watch and
                         station goes to standard error
  --no-ledger            write no ledger (by default the window program's ledger is written;
                         VANTOR_LEDGER_DIR may name its folder)
  --so-pin-env NAME      the SO PIN from the environment variable NAME (init: the new SO PIN)
  --so-pin-file PATH     the SO PIN from the first line of a file (UTF-8)
  --user-pin-env NAME    the new user PIN from the environment variable NAME (init only)
  --user-pin-file PATH   the new user PIN from the first line of a file (init only)
  --random-user-pin N    a random user PIN of N digits for each token ()") +
           pinDigits +
           Localized(LR"(，仅 init、watch init、station init），不显示、不记录明文；
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

配置文件（INI，UTF-8）的键及默认值：label=)",
                     LR"(; init, watch init
                         and station init only), never shown or recorded in clear; before it is written to
                         the token it is sealed in a PIN envelope (CMS, AES-256) under pins/DATE/ in the
                         ledger folder, and the envelope's file name is recorded in the ledger's message;
                         needs --seal-to
  --seal-to CERT         the PIN envelopes' recipient certificate (the supervisor's X.509 certificate, PEM or
                         DER, RSA key); when it cannot be used, no token is changed
  --stock FILE           the stock list (one serial number per line, or a CSV column named serial): a token
                         not on the list is refused before anything is written to it (counted as failed);
                         the list's progress is shown after each attempt; in a CSV the holder column names
                         the PIN envelope's holder, and the label column the token's own label (init)
  --current-so-pin-env NAME   a token already initialised, on the standard interface: its current SO PIN
                              from the environment variable NAME (init only)
  --current-so-pin-file PATH  the same, from the first line of a file
  --count N              watch: end after N counted attempts
  --idle SECONDS         watch: end after SECONDS seconds without a token plugged in or removed
  --limit SECONDS        station: give up a token's attempt after SECONDS seconds (default 120), recorded
                         as "Timed out"
  --help                 show this help

A PIN without a source is asked for at the terminal (not echoed). A PIN cannot be given on the command line:
--so-pin 1234 or --so-pin=1234 is refused (exit code 2).
A PIN that is empty, holds a NUL byte or a control character, or is not UTF-8 text is refused before the token
module is called (exit code 2; only its source is named, the PIN is never shown);
a PIN file must be a regular file (at most 4 KB) whose first line is the PIN (CR LF and a UTF-8 BOM allowed).
On wipe, when the SO PIN has one try left, the question is asked at the terminal (y/N, default no); without a
terminal the answer is no (cancelled, exit code 1).

Profile keys (INI, UTF-8) and their defaults: label=)") +
           std::wstring(kDefaultLabel) + Localized(L"、so_pin_max_retry=", L", so_pin_max_retry=") +
           std::to_wstring(kDefaultMaxRetry) + retryRange + Localized(L"、\n", L",\n") +
           L"user_pin_max_retry=" + std::to_wstring(kDefaultMaxRetry) + retryRange +
           Localized(L"、public_size=", L", public_size=") + std::to_wstring(kDefaultPublicSize) + sizeRange +
           Localized(L"、private_size=", L", private_size=") + std::to_wstring(kDefaultPrivateSize) +
           sizeRange +
           Localized(LR"(。

退出码：
  0  成功
  1  令牌拒绝或操作在令牌上失败（包括校验失败、最后一次尝试未确认）
  2  用法或输入错误（范围、长度，PIN来源）
  3  没有令牌或多于一支令牌
  4  令牌模块无法加载、缺少扩展接口或无法初始化
  5  记录文件无法写入（优先于 0 和 1：操作结果仍会输出）
  watch 和 station：无法开始为 4；有记录未能写入为 5；否则每次计数操作都成功时为 0，否则为 1)",
                     LR"(.

Exit codes:
  0  success
  1  the token refused, or the operation failed on the token (including a failed check and an unconfirmed
     final try)
  2  usage or input error (range, length, PIN source)
  3  no token, or more than one token
  4  the token module cannot be loaded, lacks the vendor extension or cannot be initialised
  5  the ledger cannot be written (this outweighs 0 and 1: the outcome is still shown)
  watch and station: 4 when the run cannot start; 5 when a ledger line was not written; otherwise 0 when
  every counted attempt succeeded, else 1)");
}
