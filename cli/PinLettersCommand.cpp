// vantor-cli pins letters: the PIN envelopes of a span of days opened with the supervisor's
// private key and written as one page of letters to print. The PINs go to that page only.
#include "attempt/ExitCode.h"
#include "base/ArgumentPath.h"
#include "base/ShownPath.h"
#include "base/Utf8.h"
#include "cli/CliOptions.h"
#include "cli/Console.h"
#include "cli/DaySpanOptions.h"
#include "cli/PinReader.h"
#include "cli/SupervisorCommands.h"
#include "cli/TerminalPrompt.h"
#include "ledger/LedgerDay.h"
#include "ledger/LedgerFolder.h"
#include "ledger/LedgerSources.h"
#include "letters/PinLetters.h"
#include "base/Language.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

const wchar_t kPasswordVariable[] = L"VANTOR_KEY_PASSWORD";

struct LettersOptions {
    std::string from, to;
    fs::path out, key;
};

// Empty when the options hold; otherwise what is wrong.
std::wstring Parse(const std::vector<std::wstring>& args, LettersOptions& options) {
    DaySpanOptions span;
    const std::wstring error = ParseDaySpanOptions(L"pins letters", {L"--out", L"--key"}, args, span);
    if (!error.empty())
        return error;
    options.from = span.from;
    options.to = span.to;
    if (span.other.count(L"--key"))
        options.key = ArgumentPath(span.other[L"--key"]);
    if (!span.other.count(L"--out"))
        return Localized(L"需要 --out FILE.html", L"--out FILE.html is needed");
    options.out = ArgumentPath(span.other[L"--out"]);
#ifndef _WIN32
    if (options.key.empty())
        return Localized(L"需要 --key 私钥文件（PEM 或 PKCS#12）",
                         L"--key is needed: the private key file (PEM or PKCS#12)");
#endif
    return {};
}

enum class Variable { kUnset, kEmpty, kHeld };

Variable PasswordVariable() {
#ifdef _WIN32
    SetLastError(ERROR_SUCCESS);
    const DWORD size = GetEnvironmentVariableW(kPasswordVariable, nullptr, 0);
    if (size == 0)
        return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? Variable::kUnset : Variable::kEmpty;
    return size == 1 ? Variable::kEmpty : Variable::kHeld;
#else
    const char* value = std::getenv(WideToUtf8(kPasswordVariable).c_str());
    return value == nullptr ? Variable::kUnset : *value == '\0' ? Variable::kEmpty : Variable::kHeld;
#endif
}

// The key with the password from VANTOR_KEY_PASSWORD when it is set (an empty one: none);
// otherwise first without one and, when that is the wrong password, with one typed at the
// terminal without echo.
EnvelopeKeyLoad LoadKey(const fs::path& file, std::wstring& error) {
#ifdef _WIN32
    if (file.empty())
        return UserStoreEnvelopeKey();
#endif
    SecretText password;
    const Variable variable = PasswordVariable();
    if (variable == Variable::kHeld) {
        PinRead read = ReadPin(PinSource{PinSource::Kind::kEnvironment, kPasswordVariable}, std::wstring());
        if (!(error = read.error).empty())
            return {};
        password = read.pin;
    }
    EnvelopeKeyLoad load = LoadEnvelopeKey(file, password);
    PinTextProblem typed = PinTextProblem::kNone;
    if (!load.key && load.bWrongPassword && variable == Variable::kUnset &&
        PromptWithoutEcho(Localized(L"私钥的密码：", L"Private key password: "), password, typed))
        load = LoadEnvelopeKey(file, password);
    return load;
}

} // namespace

int RunPinLetters(const std::vector<std::wstring>& args) {
    LettersOptions options;
    const std::wstring usage = Parse(args, options);
    if (!usage.empty())
        return RefuseUsage(usage + UsageHint());
    std::wstring error;
    const EnvelopeKeyLoad key = LoadKey(options.key, error);
    if (!error.empty())
        return RefuseUsage(error);
    if (!key.key)
        return RefuseUsage(Utf8ToWide(key.problem));
    const fs::path folder(DefaultLedgerFolder());
    if (folder.empty())
        return RefuseUsage(Localized(L"找不到记录文件夹", L"The ledger folder cannot be found"));
    const WrittenLetters written = WritePinLetters({folder, options.from, options.to}, *key.key, options.out);
    const std::wstring shownOut = Utf8ToWide(ShownPath(options.out));
    switch (written.outcome) {
    case LettersWrite::kNoEnvelopes:
        return RefuseUsage(Utf8ToWide(options.from + Localized(" 至 ", " to ") + options.to +
                                      Localized(" 没有PIN信封（", ": no PIN envelopes (") +
                                      ShownPath(folder / "pins") +
                                      Localized("），未写入任何文件", "); no file was written")));
    case LettersWrite::kNotRegularFile:
        return RefuseUsage(Localized(L"无法写入密码函：", L"Cannot write the PIN letters: ") + shownOut +
                           Localized(L"，不是普通文件（文件夹、设备或管道）",
                                     L" is not a regular file (it is a folder, a device or a pipe)"));
    case LettersWrite::kNotWritten:
        return RefuseUsage(Localized(L"无法写入密码函：", L"Cannot write the PIN letters: ") + shownOut);
    case LettersWrite::kWritten:
        break;
    }
    WriteLine(ConsoleStream::kOutput,
              Localized(L"密码函已写入：", L"PIN letters written: ") + shownOut + Localized(L"（", L" (") +
                  std::to_wstring(written.letters) +
                  (written.letters == 1 ? Localized(L" 封密码函，", L" letter, ")
                                        : Localized(L" 封密码函，", L" letters, ")) +
                  std::to_wstring(written.unopened.size()) +
                  (written.unopened.size() == 1
                       ? Localized(L" 个信封未能打开）", L" envelope could not be opened)")
                       : Localized(L" 个信封未能打开）", L" envelopes could not be opened)")));
    for (const UnopenedEnvelope& envelope : written.unopened)
        WriteLine(ConsoleStream::kError, Localized(L"未能打开：", L"Could not open: ") +
                                             Utf8ToWide(envelope.name) + Localized(L"：", L": ") +
                                             Utf8ToWide(envelope.why));
    return written.unopened.empty() ? kExitSuccess : kExitTokenFailed;
}
