#include "cli/SlotAttemptCommand.h"

#include "attempt/AttemptRunner.h"
#include "attempt/AttemptResultLine.h"
#include "attempt/ExitCode.h"
#include "attempt/JobCodec.h"
#include "cli/Console.h"
#include "cli/ModuleFileName.h"
#include "cli/PinReader.h"
#include "res/StringIds.h"
#include "token/TokenSlots.h"
#include "base/Language.h"

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

} // namespace

bool IsSlotAttemptCommand(const std::vector<std::wstring>& args) {
    return !args.empty() && args[0] == L"slot-attempt";
}

int RunSlotAttempt(const std::vector<std::wstring>& args) {
    EndWithTheStation();
    ChildArgumentsRead read = DecodeChildArguments(args);
    if (!read.usage.empty())
        return RefuseUsage(read.usage);
    ChildJob& options = read.child;
    // The PIN lines as text, then the values, then the PINs as the pages check them.
    const ChildPinLineCount shape = ChildPinLines(options.job.operation);
    std::vector<SecretText> lines;
    std::wstring error = ReadPinLines(shape.count, shape.optionalFrom, lines);
    if (error.empty())
        error = read.refusal;
    if (error.empty())
        error = DecodeChildPinLines(lines, options.job);
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
                                     : DoJob(&module, options.job, true, progress);
    const int code = Report(result);
    module.UnloadTokenModule();
    return code;
}

std::wstring SlotAttemptHelpText() {
    return Localized(LR"(工作站使用的内部命令（每支令牌一个进程）：
  vantor-cli slot-attempt wipe|init --slot N --serial S [--module PATH] [--profile FILE | --set KEY=VALUE ...] --pins-stdin
                         只处理槽 N 中序列号为 S 的令牌；PIN 从标准输入逐行读取；输出进度行和一行结果)",
                     LR"(Internal command of the station (one process per token):
  vantor-cli slot-attempt wipe|init --slot N --serial S [--module PATH] [--profile FILE | --set KEY=VALUE ...] --pins-stdin
                         handles only the token with serial number S in slot N; reads the PINs from standard
                         input, one per line; prints progress lines and one result line)");
}
