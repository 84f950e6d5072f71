#include "app/VantorApp.h"

#include "app/MainDlg.h"

#include "base/LanguageChoice.h"

CVantorApp theApp;

namespace {

constexpr const wchar_t* kInstanceIdentifier = L"CF9582A7-67AC-4FB5-8CDF-0C1EA783C59F";
constexpr const wchar_t* kProgramName = L"Vantor";
constexpr LCID kChinesePrc = 2052;
constexpr LCID kEnglishUs = 1033;

} // namespace

CString InstanceMutexName() {
    CString name;
    name.Format(L"%s_%s", kInstanceIdentifier, kProgramName);
    return name;
}

BOOL CVantorApp::InitInstance() {
    // The mutex lives as long as this process; the system closes its handle at exit.
    CreateMutexW(nullptr, FALSE, InstanceMutexName());
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        return FALSE;

    AfxEnableControlContainer();
    Enable3dControls();
    SetShownLanguage(StartingLanguage());
    // The thread's locale in the language shown: under Wine the system's own texts in the
    // program's windows (the message boxes' buttons) follow it.
    SetThreadLocale(ShownLanguage() == Language::kEnglish ? kEnglishUs : kChinesePrc);

    CMainDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    // Every worker has ended with the dialog; nothing may reach it any more.
    m_pMainWnd = nullptr;
    return FALSE;
}
