#include "cli/PinReader.h"

#include "base/Language.h"
#include "base/RegularFile.h"
#include "base/ShownText.h"
#include "base/Utf8.h"
#include "cli/PinText.h"
#include "cli/StockOption.h"
#include "cli/TerminalPrompt.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <cstdlib>
#include <cstring>
#endif

namespace {

using Bytes = std::vector<char, WipingAllocator<char>>;

// A PIN file holds one short line: anything larger is not a PIN file.
constexpr std::size_t kPinFileLimit = 4096;
// A station child's PIN line: as long as a PIN file may be.
constexpr std::size_t kPinLineLimit = kPinFileLimit;

// The first line of `bytes` without its line end (LF or CR LF) and without a UTF-8 byte-order
// mark before it.
void KeepFirstLine(Bytes& bytes) {
    bytes.erase(std::find(bytes.begin(), bytes.end(), '\n'), bytes.end());
    if (!bytes.empty() && bytes.back() == '\r')
        bytes.pop_back();
    static const char kBom[] = "\xEF\xBB\xBF";
    if (bytes.size() >= 3 && std::equal(kBom, kBom + 3, bytes.begin()))
        bytes.erase(bytes.begin(), bytes.begin() + 3);
}

std::wstring Refusal(const std::wstring& source, PinTextProblem problem) {
    return source + Localized(L"：", L": ") + PinTextProblemText(problem);
}

PinRead ReadFile(const std::wstring& path) {
    PinRead read;
    const std::wstring shown = ShownText(path);
    Bytes bytes;
    const FileRead status = ReadRegularFile(ArgumentPath(path), kPinFileLimit, bytes);
    if (status != FileRead::kRead) {
        read.error = Localized(L"无法读取PIN文件：", L"Cannot read the PIN file: ") + shown +
                     Localized(L"：", L": ") + Utf8ToWide(FileReadProblem(status, kPinFileLimit));
        return read;
    }
    KeepFirstLine(bytes);
    const PinTextProblem problem = CheckPinBytes(bytes.data(), bytes.size());
    if (problem != PinTextProblem::kNone)
        read.error = Refusal(Localized(L"PIN文件 ", L"PIN file ") + shown, problem);
    else
        read.pin = Utf8ToSecret(bytes.data(), bytes.size());
    return read;
}

PinRead ReadEnvironment(const std::wstring& name) {
    PinRead read;
    const std::wstring shown = ShownText(name);
    PinTextProblem problem = PinTextProblem::kNone;
#ifdef _WIN32
    SetLastError(ERROR_SUCCESS);
    const DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (size == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
        read.error = Localized(L"未设置环境变量：", L"Environment variable not set: ") + shown;
        return read;
    }
    std::vector<wchar_t, WipingAllocator<wchar_t>> value(size + 1, L'\0');
    const DWORD length = size == 0 ? 0 : GetEnvironmentVariableW(name.c_str(), value.data(), size + 1);
    problem = CheckPinChars(value.data(), length < size ? length : 0);
    if (problem == PinTextProblem::kNone)
        read.pin = SecretText(value.data());
#else
    const char* value = std::getenv(WideToUtf8(name).c_str());
    if (value == nullptr) {
        read.error = Localized(L"未设置环境变量：", L"Environment variable not set: ") + shown;
        return read;
    }
    problem = CheckPinBytes(value, std::strlen(value));
    if (problem == PinTextProblem::kNone)
        read.pin = Utf8ToSecret(value, std::strlen(value));
#endif
    if (problem != PinTextProblem::kNone)
        read.error = Refusal(Localized(L"环境变量 ", L"Environment variable ") + shown, problem);
    return read;
}

} // namespace

PinRead ReadPin(const PinSource& source, const std::wstring& prompt) {
    switch (source.kind) {
    case PinSource::Kind::kEnvironment:
        return ReadEnvironment(source.name);
    case PinSource::Kind::kFile:
        return ReadFile(source.name);
    case PinSource::Kind::kPrompt:
        break;
    }
    PinRead read;
    PinTextProblem problem = PinTextProblem::kNone;
    if (!PromptWithoutEcho(prompt, read.pin, problem))
        read.error = Localized(L"没有PIN来源：标准输入不是终端，请用环境变量或文件给出PIN",
                               L"No PIN source: standard input is not a terminal; please give the PIN in an "
                               L"environment variable or a file");
    else if (problem != PinTextProblem::kNone)
        read.error = Refusal(Localized(L"终端输入", L"Terminal input"), problem);
    if (!read.error.empty())
        read.pin = SecretText();
    return read;
}

std::wstring ReadPinLines(std::size_t count, std::size_t optionalFrom, std::vector<SecretText>& pins) {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    // Unbuffered, so no copy of a PIN is left in the stream's own buffer.
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    Bytes line;
    line.reserve(kPinLineLimit + 1);
    pins.clear();
    std::wstring error;
    for (int c; pins.size() < count && (c = std::fgetc(stdin)) != EOF;) {
        if (c != '\n') {
            if (line.size() <= kPinLineLimit) // one byte past the limit marks it too long
                line.push_back(static_cast<char>(c));
            continue;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::wstring which = Localized(L"标准输入第 ", L"Standard input line ") +
                                   std::to_wstring(pins.size() + 1) + Localized(L" 行", L"");
        const PinTextProblem problem = CheckPinBytes(line.data(), line.size());
        if (line.size() > kPinLineLimit)
            error = which + Localized(L"：PIN过长", L": the PIN is too long");
        else if (problem != PinTextProblem::kNone &&
                 !(problem == PinTextProblem::kEmpty && pins.size() >= optionalFrom))
            error = Refusal(which, problem);
        if (!error.empty())
            break;
        pins.push_back(Utf8ToSecret(line.data(), line.size()));
        line.clear();
    }
    if (error.empty() && pins.size() < count)
        error = Localized(L"标准输入中的PIN行数不足", L"Too few PIN lines on standard input");
    if (!error.empty())
        pins.clear();
    return error;
}
