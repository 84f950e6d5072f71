#pragma once
// Text lines to standard output or standard error: on a Windows console as UTF-16 through
// WriteConsoleW, to a pipe or a file as UTF-8. Every line is flushed at once, so a script
// reading a watch run sees each attempt when it ends.
#include <string>

enum class ConsoleStream { kOutput, kError };

void WriteLine(ConsoleStream stream, const std::wstring& text);
// UTF-8 bytes as they are (JSON lines), with a line end.
void WriteUtf8Line(ConsoleStream stream, const std::string& bytes);

// `error` on standard error; the exit code of a usage or input error (2), for the caller to return.
int RefuseUsage(const std::wstring& error);
// Where a usage refusal points the operator: " (vantor-cli --help ...)", in the language shown.
const wchar_t* UsageHint();
