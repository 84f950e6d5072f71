#include "win/FileDialogs.h"

#include <commdlg.h>

#include <vector>

std::wstring ChooseFile(HWND owner, const wchar_t* title, const wchar_t* filter) {
    // Room for long paths: a cut path would name another file.
    std::vector<wchar_t> path(MAX_PATH * 4, L'\0');
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrTitle = title;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog))
        return std::wstring();
    return path.data();
}
