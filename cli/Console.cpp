#include "cli/Console.h"

#include "attempt/ExitCode.h"
#include "base/Language.h"
#include "base/Utf8.h"

#ifdef _WIN32
#include <windows.h>

namespace {

HANDLE HandleOf(ConsoleStream stream) {
    return GetStdHandle(stream == ConsoleStream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

void WriteBytes(HANDLE handle, const std::string& bytes) {
    DWORD written = 0;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

} // namespace

void WriteLine(ConsoleStream stream, const std::wstring& text) {
    HANDLE handle = HandleOf(stream);
    if (!IsConsole(handle)) {
        WriteBytes(handle, WideToUtf8(text) + "\n");
        return;
    }
    const std::wstring line = text + L"\r\n";
    DWORD written = 0;
    WriteConsoleW(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void WriteUtf8Line(ConsoleStream stream, const std::string& bytes) {
    HANDLE handle = HandleOf(stream);
    if (IsConsole(handle)) // a console shows UTF-16, not the bytes
        WriteLine(stream, Utf8ToWide(bytes));
    else
        WriteBytes(handle, bytes + "\n");
}

#else
#include <cstdio>

void WriteLine(ConsoleStream stream, const std::wstring& text) {
    WriteUtf8Line(stream, WideToUtf8(text));
}

void WriteUtf8Line(ConsoleStream stream, const std::string& bytes) {
    std::FILE* file = stream == ConsoleStream::kOutput ? stdout : stderr;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fputc('\n', file);
    std::fflush(file);
}
#endif

int RefuseUsage(const std::wstring& error) {
    WriteLine(ConsoleStream::kError, error);
    return kExitUsage;
}

const wchar_t* UsageHint() {
    return Localized(L"（vantor-cli --help 显示用法）", L" (vantor-cli --help shows the usage)");
}
