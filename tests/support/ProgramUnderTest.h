#pragma once
// Drives Vantor.exe as an operator would: a separate process started from a folder of its
// own, its windows found by caption and class, clicks and keys sent to them, and the
// stand-in module's bench and journal shared through files.
#include "WaitFor.h"

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// The main window's caption, which its message boxes carry too.
inline const std::wstring kTitle = L"Orbel PKI 初始化工具";

// A folder in the test program's own working folder that holds one scenario: the program, maybe a module,
// the bench file and the journal file.
class ScenarioFolder {
  public:
    explicit ScenarioFolder(const std::wstring& name);
    ~ScenarioFolder();
    const fs::path& Path() const { return m_path; }
    void CopyIn(const fs::path& file);
    fs::path BenchFile() const { return m_path / L"bench.txt"; }
    fs::path JournalFile() const { return m_path / L"journal.txt"; }
    // The program's ledger folder (VANTOR_LEDGER_DIR), created by the program when needed.
    fs::path LedgerFolder() const { return m_path / L"ledger"; }
    // Appends one bench command line, as scripts/bench.sh does for an operator.
    void Bench(const std::string& line) const;
    std::vector<std::string> JournalLines() const;
    // Journal lines that start with `call` (and hold `containing`, such as " rv=0x00000000").
    int JournalCount(const std::string& call, const std::string& containing = std::string()) const;

  private:
    fs::path m_path;
};

class ProgramUnderTest {
  public:
    // Starts <folder>/Vantor.exe with the folder's bench, journal and ledger.
    explicit ProgramUnderTest(const ScenarioFolder& folder);
    // Starts another program of the folder the same way.
    ProgramUnderTest(const ScenarioFolder& folder, const std::wstring& programFile);
    ~ProgramUnderTest(); // kills the process if it still runs
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    DWORD ProcessId() const { return m_info.dwProcessId; }
    HANDLE Process() const { return m_info.hProcess; }
    bool WaitForExit(DWORD timeoutMs = 10000) const;
    DWORD ExitCode() const;
    // Visible top-level windows of the process.
    std::vector<HWND> TopWindows() const;
    // The first visible top-level window with this exact caption, waiting for it; null once the
    // process has ended without one. The limit only guards against a program that hangs.
    HWND WaitForWindow(const std::wstring& caption, DWORD timeoutMs = 120000) const;

  private:
    PROCESS_INFORMATION m_info{};
};

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
// The text of a message box's message (its static control with ID 0xFFFF).
std::wstring MessageBoxText(HWND box);
// The child page of `main` that holds control `controlId`.
HWND PageWithControl(HWND main, int controlId);
// Real input, as the operator's mouse and keyboard give it.
void ClickAt(HWND window, POINT client);
void PressKey(WORD virtualKey);
// Saves what the screen shows of `window` as a 24-bit BMP.
bool SaveScreenshot(HWND window, const fs::path& bmpFile);
// <build>/artifacts, created on demand.
fs::path ArtifactsFolder();
// <build>/bin, where the program and the stand-in module are built.
fs::path BinFolder();
