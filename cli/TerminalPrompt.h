#pragma once
// Lines typed at the terminal, read into wiped storage; false when standard input is no
// terminal.
#include "base/SecureBuffer.h"
#include "cli/PinText.h"

#include <string>

// A PIN: typed without echo; `problem` says whether it may be sent (checked on the bytes typed,
// before a NUL could cut them or a stray byte become U+FFFD).
bool PromptWithoutEcho(const std::wstring& prompt, SecretText& text, PinTextProblem& problem);
// A question answered y or N; No without a terminal and on anything but y or yes.
bool ConfirmOnTerminal(const std::wstring& question);
