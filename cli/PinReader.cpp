#include "cli/PinReader.h"

#include "cli/TerminalPrompt.h"
#include "base/Utf8.h"

#include <algorithm>
#include <cstdio>
#include <memory>
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

// A PIN file's first line is all that is read of it.
constexpr std::size_t kPinFileReadLimit = 4096;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool ReadFirstLine(const std::wstring& path, Bytes& line) {
#ifdef _WIN32
    std::unique_ptr<std::FILE, FileCloser> file(_wfopen(path.c_str(), L"rb"));
#else
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(WideToUtf8(path).c_str(), "rb"));
#endif
    if (!file)
        return false;
    // Unbuffered, so no copy of the PIN is left in the stream's own buffer.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    line.reserve(kPinFileReadLimit);
    for (int c; line.size() < kPinFileReadLimit && (c = std::fgetc(file.get())) != EOF && c != '\n';)
        line.push_back(static_cast<char>(c));
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    static const char kBom[] = "\xEF\xBB\xBF";
    if (line.size() >= 3 && std::equal(kBom, kBom + 3, line.begin()))
        line.erase(line.begin(), line.begin() + 3);
    return true;
}

bool ReadEnvironment(const std::wstring& name, SecretText& pin) {
#ifdef _WIN32
    DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (size == 0)
        return false;
    std::vector<wchar_t, WipingAllocator<wchar_t>> value(size + 1, L'\0');
    GetEnvironmentVariableW(name.c_str(), value.data(), size + 1);
    pin = SecretText(value.data());
    return true;
#else
    const char* value = std::getenv(WideToUtf8(name).c_str());
    if (value == nullptr)
        return false;
    pin = Utf8ToSecret(value, std::strlen(value));
    return true;
#endif
}

} // namespace

PinRead ReadPin(const PinSource& source, const std::wstring& prompt) {
    PinRead read;
    switch (source.kind) {
    case PinSource::Kind::kEnvironment:
        if (!ReadEnvironment(source.name, read.pin))
            read.error = L"未设置环境变量：" + source.name;
        break;
    case PinSource::Kind::kFile: {
        Bytes line;
        if (!ReadFirstLine(source.name, line))
            read.error = L"无法读取PIN文件：" + source.name;
        else
            read.pin = Utf8ToSecret(line.data(), line.size());
        break;
    }
    default:
        if (!PromptWithoutEcho(prompt, read.pin))
            read.error = L"没有PIN来源：标准输入不是终端，请用环境变量或文件给出PIN";
    }
    return read;
}

bool ReadPinLines(std::size_t count, std::vector<SecretText>& pins) {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    // Unbuffered, so no copy of a PIN is left in the stream's own buffer.
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    Bytes line;
    line.reserve(kPinFileReadLimit);
    pins.clear();
    for (int c; pins.size() < count && (c = std::fgetc(stdin)) != EOF;) {
        if (c != '\n') {
            if (line.size() < kPinFileReadLimit)
                line.push_back(static_cast<char>(c));
            continue;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        pins.push_back(Utf8ToSecret(line.data(), line.size()));
        line.clear();
    }
    return pins.size() == count;
}
