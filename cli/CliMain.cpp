// vantor-cli: the command-line twin of the window program, over the same operations.
#include "attempt/ExitCode.h"
#include "cli/CliOptions.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/ModuleFileName.h"
#include "cli/PinReader.h"
#include "cli/SlotAttemptCommand.h"
#include "cli/StockOption.h"
#include "cli/SupervisorCommands.h"
#include "ledger/LedgerFolder.h"
#include "ledger/LedgerSources.h"
#include "pki/PkiProfile.h"
#include "seal/SealCertificate.h"
#include "base/ArgumentPath.h"
#include "base/Language.h"
#include "base/LanguageChoice.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "base/Utf8.h"

#include <clocale>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

class ModuleMessages final : public ModuleMessageSink {
  public:
    void ShowModuleMessage(unsigned messageId) override {
        WriteLine(ConsoleStream::kError, LoadStringOrDefault(messageId));
    }
};

// The profile and the PINs, checked before the module is touched.
bool PrepareJob(const CliOptions& options, TokenJob& job, std::wstring& error) {
    const bool bPki = options.command == CliCommand::kInit;
    job.job.operation = bPki ? JobOperation::Pki : JobOperation::Wipe;
    PkiInitParams& pki = job.job.pki;
    if (bPki) {
        ProfileRead profile = ReadProfile(options.profilePath);
        if (!(error = profile.error).empty())
            return false;
        pki = profile.params;
        job.bProfileSetsLimits = profile.bSetsLimits;
    }
    PinRead so = ReadPin(options.soPin, bPki ? Localized(L"新的管理员PIN：", L"New SO PIN: ")
                                             : Localized(L"管理员PIN：", L"SO PIN: "));
    if (!(error = so.error).empty())
        return false;
    if (!bPki) {
        job.job.soPin = so.pin;
        error = CheckJobPins(job.job);
        return error.empty();
    }
    pki.strSoPin = so.pin;
    if (options.randomUserPinLength != 0) {
        // Each token's own: no user PIN is asked, and none stands ready to be set by mistake.
        pki.strUserPin = SecretText();
        RandomUserPin& random = job.job.randomUserPin;
        random.length = options.randomUserPinLength;
        const std::filesystem::path path = ArgumentPath(options.sealToPath);
        SealCertificateLoad certificate = LoadSealCertificate(path);
        if (!certificate.certificate) {
            error = Utf8ToWide(SealCertificateProblem(path, certificate));
            return false;
        }
        random.certificate = std::make_shared<const SealCertificate>(std::move(*certificate.certificate));
    } else {
        PinRead user = ReadPin(options.userPin, Localized(L"新的用户PIN：", L"New user PIN: "));
        if (!(error = user.error).empty())
            return false;
        pki.strUserPin = user.pin;
    }
    if (options.currentSoPin.kind != PinSource::Kind::kPrompt) {
        PinRead current = ReadPin(options.currentSoPin, std::wstring());
        if (!(error = current.error).empty())
            return false;
        pki.strCurrentSoPin = current.pin;
    }
    error = CheckJobPins(job.job);
    return error.empty();
}

// The variables the PINs come from, kept from a station's children.
std::vector<std::wstring> PinVariables(const CliOptions& options) {
    std::vector<std::wstring> names;
    for (const PinSource* source : {&options.soPin, &options.userPin, &options.currentSoPin})
        if (source->kind == PinSource::Kind::kEnvironment)
            names.push_back(source->name);
    return names;
}

int Run(const std::vector<std::wstring>& args) {
    if (IsSupervisorCommand(args))
        return RunSupervisorCommand(args);
    if (IsSlotAttemptCommand(args))
        return RunSlotAttempt(args);
    const ParsedCommandLine parsed = ParseCommandLine(args);
    const CliOptions& options = parsed.options;
    if (options.bHelp && parsed.error.empty()) {
        WriteLine(ConsoleStream::kOutput,
                  HelpText() + L"\n\n" + SupervisorHelpText() + L"\n\n" + SlotAttemptHelpText());
        return kExitSuccess;
    }
    if (!parsed.error.empty())
        return RefuseUsage(parsed.error + UsageHint());

    TokenJob job;
    std::wstring error;
    // The console's bench: the stock list put in force here, the module and the ledger below.
    Workbench bench;
    if (!options.stockPath.empty()) {
        if (!(error = ReadStockOption(options.stockPath, bench.StockListRead())).empty())
            return RefuseUsage(error);
        PutStockInForce(bench.Stock(), bench.StockListRead(), DefaultLedgerFolder(), LocalTimeNow());
    }
    if (options.command != CliCommand::kInfo && !PrepareJob(options, job, error))
        return RefuseUsage(error);
    if (!(error = ModuleFileProblem(options.modulePath)).empty())
        return RefuseUsage(error);

    // A module the operator names may lack the vendor extension; the default one may not.
    bench.Bind(
        std::make_unique<TokenModule>(ModuleFileName(options.modulePath), !options.modulePath.empty()));
    TokenModule& module = *bench.Module();
    ModuleMessages messages;
    if (module.LoadTokenModule(messages) != CKR_OK) {
        module.UnloadTokenModule();
        return kExitModule;
    }
    if (module.IsStandard() && job.job.IsPki() && job.bProfileSetsLimits) {
        module.UnloadTokenModule();
        return RefuseUsage(LoadStringOrDefault(IDS_STD_NO_LIMITS));
    }
    job.job.bSetsLimits = !module.IsStandard(); // standard calls set none
    OutcomeWriter writer(options.bJson, options.bLedger);
    bench.LendLedger(writer.GetLedger());
    int code;
    if (options.command == CliCommand::kInfo)
        code = RunInfo(bench, writer);
    else if (options.bStation)
        code = RunStation(bench, job,
                          StationRun{options.modulePath, WatchLimits{options.count, options.idleSeconds},
                                     options.limitSeconds, PinVariables(options)},
                          options.bJson, writer);
    else if (options.bWatch)
        code = RunWatch(bench, job, WatchLimits{options.count, options.idleSeconds}, options.bJson, writer);
    else
        code = RunJobOnce(bench, job, writer);
    module.UnloadTokenModule();
    return code;
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    SetThreadLocale(MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT));
    SetShownLanguage(StartingLanguage());
    return Run(std::vector<std::wstring>(argv + 1, argv + argc));
}
#else
int main(int argc, char** argv) {
    // The locale's character set stands in for the ANSI code page the PINs are sent in.
    std::setlocale(LC_ALL, "");
    SetShownLanguage(StartingLanguage());
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(Utf8ToWide(argv[i]));
    return Run(args);
}
#endif
