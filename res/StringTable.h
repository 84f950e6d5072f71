#pragma once
#include "base/Language.h"

#include <string>

// Text of string-table entry `id`, or "未知错误" when there is no such entry.
// Message texts, captions, status texts and titles are loaded through this.
std::wstring LoadStringOrDefault(unsigned id);

// Text of entry `id`, or an empty string when there is none (About menu item, type names).
std::wstring LoadStringDirect(unsigned id);

// Entry `id` as written in `language`, whatever language is shown; empty when there is none.
// For reading back texts that a station speaking either language wrote.
std::wstring LoadStringIn(unsigned id, Language language);

// "%s,code =0x%08X" with IDS_UNKNOWN_ERROR: how a result without a message of its own is shown.
std::wstring UnknownResultText(unsigned long result);

// Entry `id` with its "%08X" replaced by `code` in eight upper-case hexadecimal digits.
std::wstring MessageWithCode(unsigned id, unsigned long code);

// Entry `id` with its "%s" replaced by `text`.
std::wstring MessageWithText(unsigned id, const std::wstring& text);
