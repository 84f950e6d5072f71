#include "bench/VantorSession.h"

const std::wstring kVantorTitle = L"Orbel PKI 初始化工具";

void FillScenario(ScenarioFolder& folder) {
    folder.CopyIn(BinFolder() / L"Vantor.exe");
    folder.CopyIn(BinFolder() / L"orbelcsp11.dll");
    folder.CopyIn(BinFolder() / L"MinimalDialog.exe");
    folder.CopyIn(BinFolder() / L"TemplateDialog.exe");
    // Without a line the stand-in would start on its default bench, with a token plugged in.
    folder.Bench("reset");
}

VantorSession::VantorSession(const std::wstring& scenario) : m_folder(scenario) {
    FillScenario(m_folder);
    m_program = std::make_unique<ProgramUnderTest>(m_folder);
    m_main = m_program->WaitForWindow(kVantorTitle, 60000);
}

bool VantorSession::Close() {
    if (m_main != nullptr)
        PostMessageW(m_main, WM_CLOSE, 0, 0);
    return m_program->WaitForExit(30000);
}
