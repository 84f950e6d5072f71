#pragma once
// The system's dialog for choosing one existing file, as every menu of the program asks for
// one: the path must exist, the working folder is left as it was.
#include <windows.h>

#include <string>

// `filter`: pairs of a shown name and its patterns, each ended by L'\0', the list by another
// (L"模块 (*.dll)\0*.dll\0"). Empty when the operator cancels.
std::wstring ChooseFile(HWND owner, const wchar_t* title, const wchar_t* filter);
