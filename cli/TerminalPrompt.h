#pragma once
// Lines typed at the terminal, read into wiped storage; false when standard input is no
// terminal.
#include "base/SecureBuffer.h"

#include <string>

// A PIN: typed without echo.
bool PromptWithoutEcho(const std::wstring& prompt, SecretText& text);
// A question answered y or N; No without a terminal and on anything but y or yes.
bool ConfirmOnTerminal(const std::wstring& question);
