#include "cli/TerminalPrompt.h"

#include "base/Utf8.h"

#include <cwchar>
#include <vector>

#ifdef _WIN32
#include <windows.h>

namespace {

bool PromptOnTerminal(const std::wstring& prompt, bool bEcho, SecretText& text, PinTextProblem* problem) {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(input, &mode))
        return false;
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    WriteConsoleW(error, prompt.data(), static_cast<DWORD>(prompt.size()), &written, nullptr);
    const DWORD echo = bEcho ? ENABLE_ECHO_INPUT : 0;
    SetConsoleMode(input, (mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)) | echo | ENABLE_LINE_INPUT);
    std::vector<wchar_t, WipingAllocator<wchar_t>> line(256, L'\0');
    DWORD read = 0;
    BOOL ok = ReadConsoleW(input, line.data(), static_cast<DWORD>(line.size() - 1), &read, nullptr);
    SetConsoleMode(input, mode);
    if (!bEcho) // the line end typed was not shown either
        WriteConsoleW(error, L"\r\n", 2, &written, nullptr);
    if (!ok)
        return false;
    line[read] = L'\0';
    DWORD typed = 0; // up to the line end
    while (typed < read && line[typed] != L'\r' && line[typed] != L'\n')
        ++typed;
    if (problem != nullptr)
        *problem = CheckPinChars(line.data(), typed);
    for (DWORD i = 0; i < read; ++i)
        if (line[i] == L'\r' || line[i] == L'\n')
            line[i] = L'\0';
    text = SecretText(line.data());
    return true;
}

} // namespace

#else
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {

bool PromptOnTerminal(const std::wstring& prompt, bool bEcho, SecretText& text, PinTextProblem* problem) {
    termios saved{};
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved) != 0)
        return false;
    const std::string shown = WideToUtf8(prompt);
    std::fwrite(shown.data(), 1, shown.size(), stderr);
    std::fflush(stderr);
    termios silent = saved;
    if (!bEcho)
        silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    std::vector<char, WipingAllocator<char>> line;
    line.reserve(256);
    char c = 0;
    while (line.size() < 256 && read(STDIN_FILENO, &c, 1) == 1 && c != '\n')
        line.push_back(c);
    c = 0;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    if (!bEcho)
        std::fputc('\n', stderr);
    if (problem != nullptr)
        *problem = CheckPinBytes(line.data(), line.size());
    text = Utf8ToSecret(line.data(), line.size());
    return true;
}

} // namespace
#endif

bool PromptWithoutEcho(const std::wstring& prompt, SecretText& text, PinTextProblem& problem) {
    return PromptOnTerminal(prompt, false, text, &problem);
}

bool ConfirmOnTerminal(const std::wstring& question) {
    SecretText answer;
    if (!PromptOnTerminal(question + L" [y/N] ", true, answer, nullptr))
        return false;
    for (const wchar_t* yes : {L"y", L"Y", L"yes", L"YES"})
        if (std::wcscmp(answer.c_str(), yes) == 0)
            return true;
    return false;
}
