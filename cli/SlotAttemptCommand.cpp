#include "cli/SlotAttemptCommand.h"

#include "attempt/AttemptRunner.h"
#include "attempt/AttemptResultLine.h"
#include "attempt/ExitCode.h"
#include "base/Utf8.h"
#include "wipe/WipeToken.h"
#include "cli/CliOptions.h"
#include "cli/Console.h"
#include "cli/ModuleFileName.h"
#include "cli/PinReader.h"
#include "cli/Profile.h"
#include "pki/PkiInit.h"
#include "res/StringIds.h"
#include "token/TokenSlots.h"

#include <climits>

#ifdef __linux__
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>
#endif

namespace {

// A child never outlives its station (on Windows the station's job object sees to it).
void EndWithTheStation() {
#ifdef __linux__
    const pid_t station = getppid();
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != station)
        _exit(kExitTokenFailed); // the station ended before the line above took effect
#endif
}

struct SlotAttemptOptions {
    bool bPki = false;
    bool bSlot = false;
    CK_SLOT_ID slot = 0;
    std::wstring serial;
    std::wstring modulePath;
    std::wstring profilePath;
    std::string settings; // --set lines, read as a profile
    bool bPinsStdin = false;
};

// A slot identifier as the station's listing gave it: any CK_SLOT_ID (a module may number its
// slots far beyond what an option's count reads, as SoftHSM2 does).
bool ParseSlotId(const std::wstring& text, CK_SLOT_ID& slot) {
    if (text.empty() || text.size() > 20 || text.find_first_not_of(L"0123456789") != std::wstring::npos)
        return false;
    unsigned long long value = 0;
    for (const wchar_t digit : text) {
        const unsigned d = static_cast<unsigned>(digit - L'0');
        if (value > (ULLONG_MAX - d) / 10)
            return false; // beyond 64 bits
        value = value * 10 + d;
    }
    slot = static_cast<CK_SLOT_ID>(value);
    return slot == value;
}

std::wstring Parse(const std::vector<std::wstring>& args, SlotAttemptOptions& o) {
    if (args.size() < 2 || (args[1] != L"wipe" && args[1] != L"init"))
        return L"slot-attempt 之后应为 wipe 或 init";
    o.bPki = args[1] == L"init";
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::wstring& name = args[i];
        if (name == L"--pins-stdin") {
            o.bPinsStdin = true;
            continue;
        }
        if (i + 1 >= args.size())
            return L"选项缺少参数：" + ShownOptionName(name);
        const std::wstring& value = args[++i];
        if (name == L"--slot") {
            if (!ParseSlotId(value, o.slot))
                return L"--slot 需要一个整数";
            o.bSlot = true;
        } else if (name == L"--serial") {
            o.serial = value;
        } else if (name == L"--module") {
            o.modulePath = value;
        } else if (name == L"--profile" && o.bPki) {
            o.profilePath = value;
        } else if (name == L"--set" && o.bPki) {
            o.settings += WideToUtf8(value) + "\n";
        } else {
            return L"未知选项：" + ShownOptionName(name);
        }
    }
    if (!o.bSlot || o.serial.empty() || !o.bPinsStdin)
        return L"slot-attempt 需要 --slot、--serial 和 --pins-stdin";
    return std::wstring();
}

// What the station reads while the token works.
class ChildProgress final : public AttemptProgress {
  public:
    void ShowProgress(unsigned) override { WriteUtf8Line(ConsoleStream::kOutput, "progress working"); }
    void ShowVerifying() override { WriteUtf8Line(ConsoleStream::kOutput, "progress verifying"); }
    void ShowRunning() override {}
    bool ConfirmFinalTry() override { return false; }
};

class ModuleMessages final : public ModuleMessageSink {
  public:
    void ShowModuleMessage(unsigned messageId) override { m_messageId = messageId; }
    unsigned m_messageId = IDS_INIT_MODULE_FAILED;
};

int Report(const AttemptResult& result) {
    WriteUtf8Line(ConsoleStream::kOutput, EncodeAttemptResultLine(result));
    AttemptOutcome outcome;
    outcome.result = result;
    return ExitCodeOf(outcome);
}

int Refuse(const std::wstring& error) {
    WriteLine(ConsoleStream::kError, error);
    return kExitUsage;
}

// The operation's values: the profile (a file or --set lines) and the PINs from standard input
// (wipe: SO PIN; init: new SO PIN, new user PIN, current SO PIN).
std::wstring ReadValues(const SlotAttemptOptions& o, WipeParams& wipe, PkiInitParams& init) {
    std::vector<SecretText> pins;
    // init: the current SO PIN's line is empty when none was given.
    const std::wstring error = o.bPki ? ReadPinLines(3, 2, pins) : ReadPinLines(1, 1, pins);
    if (!error.empty())
        return error;
    wipe.bBatch = true;
    if (!o.bPki) {
        wipe.strSoPin = pins[0];
        return CheckCurrentSoPin(wipe.strSoPin);
    }
    const ProfileRead profile =
        o.profilePath.empty() ? ParseProfile(o.settings, L"--set") : ReadProfile(o.profilePath);
    if (!profile.error.empty())
        return profile.error;
    init = profile.params;
    init.bBatch = true;
    init.strSoPin = pins[0];
    init.strUserPin = pins[1];
    init.strCurrentSoPin = pins[2];
    return CheckNewPins(init.strSoPin, init.strUserPin);
}

} // namespace

bool IsSlotAttemptCommand(const std::vector<std::wstring>& args) {
    return !args.empty() && args[0] == L"slot-attempt";
}

int RunSlotAttempt(const std::vector<std::wstring>& args) {
    EndWithTheStation();
    SlotAttemptOptions options;
    const std::wstring usage = Parse(args, options);
    if (!usage.empty())
        return Refuse(usage);
    WipeParams wipe;
    PkiInitParams init;
    const std::wstring error = ReadValues(options, wipe, init);
    if (!error.empty()) {
        // The station's input was unusable: a failed attempt on this token, before any call.
        WriteLine(ConsoleStream::kError, error);
        AttemptResult failed = EndedWith(AttemptKind::Failure, IDS_STATION_NO_RESULT, CKR_FUNCTION_FAILED);
        failed.token = StandardIdentity{options.slot, options.serial, std::wstring()};
        return Report(failed);
    }

    TokenModule module(ModuleFileName(options.modulePath), !options.modulePath.empty());
    ModuleMessages messages;
    if (module.LoadTokenModule(messages) != CKR_OK) {
        module.UnloadTokenModule();
        return Report(EndedWith(AttemptKind::NoModule, messages.m_messageId, CKR_FUNCTION_FAILED));
    }
    module.LimitToSlot(options.slot);
    ChildProgress progress;
    // The station saw this token here; another one in its place is none of this attempt's.
    const AttemptResult result = ReadTokenSerial(module, options.slot) != options.serial
                                     ? EndedWith(AttemptKind::NoToken, IDS_INSERT_TOKEN)
                                 : options.bPki ? InitialisePkiToken(&module, init, progress)
                                                : WipeToken(&module, wipe, progress);
    const int code = Report(result);
    module.UnloadTokenModule();
    return code;
}

std::wstring SlotAttemptHelpText() {
    return LR"(工作站使用的内部命令（每支令牌一个进程）：
  vantor-cli slot-attempt wipe|init --slot N --serial S [--module PATH] [--profile FILE | --set KEY=VALUE ...] --pins-stdin
                         只处理槽 N 中序列号为 S 的令牌；PIN 从标准输入逐行读取；输出进度行和一行结果)";
}
