#pragma once
// Vantor.exe running from a scenario folder of its own next to the stand-in module, on an
// empty bench, with its main window found.
#include "BatchPage.h"
#include "ProgramUnderTest.h"

#include <memory>
#include <string>

extern const std::wstring kVantorTitle;

// Folder holding Vantor.exe, the stand-in module and the baseline program.
void FillScenario(ScenarioFolder& folder);

class VantorSession {
  public:
    explicit VantorSession(const std::wstring& scenario);
    // The program is up with its main window.
    bool Ready() const { return m_main != nullptr; }
    const ScenarioFolder& Folder() const { return m_folder; }
    const ProgramUnderTest& Program() const { return *m_program; }
    HWND Main() const { return m_main; }
    // Closes the main window and waits for the process to end.
    bool Close();

  private:
    ScenarioFolder m_folder;
    std::unique_ptr<ProgramUnderTest> m_program;
    HWND m_main = nullptr;
};
