#pragma once
// Texts the pages and the main window show about the ledger.

// Appended to the status text when the line could not be written.
inline constexpr const wchar_t* kLedgerNotWrittenNote = L"（记录未能写入）";
// Appended to the status text of a success on a token already handled today.
inline constexpr const wchar_t* kLedgerDuplicateNote = L"（重复：该锁今天已处理过）";
// The system menu item that opens the ledger folder.
inline constexpr const wchar_t* kLedgerMenuText = L"打开记录文件夹(&L)";
