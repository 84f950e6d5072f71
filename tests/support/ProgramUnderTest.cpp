#include "ProgramUnderTest.h"

#include <fstream>
#include <sstream>

namespace {

fs::path ModuleFolder() {
    wchar_t name[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, name, MAX_PATH);
    return fs::path(std::wstring(name, length)).parent_path();
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->processId && IsWindowVisible(window))
        search->windows.push_back(window);
    return TRUE;
}

struct ChildSearch {
    int controlId;
    HWND page = nullptr;
};

BOOL CALLBACK FindPage(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (GetDlgItem(child, search->controlId) != nullptr && ClassName(child) == L"#32770") {
        search->page = child;
        return FALSE;
    }
    return TRUE;
}

} // namespace

fs::path BinFolder() {
    return ModuleFolder();
}

fs::path ArtifactsFolder() {
    fs::path folder = ModuleFolder().parent_path() / L"artifacts";
    fs::create_directories(folder);
    return folder;
}

ScenarioFolder::ScenarioFolder(const std::wstring& name) : m_path(fs::current_path() / L"scenarios" / name) {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
    fs::create_directories(m_path);
}

ScenarioFolder::~ScenarioFolder() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

void ScenarioFolder::CopyIn(const fs::path& file) {
    fs::copy_file(file, m_path / file.filename(), fs::copy_options::overwrite_existing);
}

void ScenarioFolder::Bench(const std::string& line) const {
    // Append access alone and one write, as the stand-in appends its own lines to the file.
    HANDLE file = CreateFileW(BenchFile().c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string text = line + '\n';
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::vector<std::string> ScenarioFolder::JournalLines() const {
    std::vector<std::string> lines;
    std::ifstream file(JournalFile(), std::ios::binary);
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

int ScenarioFolder::JournalCount(const std::string& call, const std::string& containing) const {
    int count = 0;
    for (const std::string& line : JournalLines())
        if ((line.compare(0, call.size() + 1, call + " ") == 0 || line == call) &&
            line.find(containing) != std::string::npos)
            ++count;
    return count;
}

ProgramUnderTest::ProgramUnderTest(const ScenarioFolder& folder) : ProgramUnderTest(folder, L"Vantor.exe") {}

ProgramUnderTest::ProgramUnderTest(const ScenarioFolder& folder, const std::wstring& programFile) {
    SetEnvironmentVariableW(L"VANTOR_BENCH_FILE", folder.BenchFile().c_str());
    SetEnvironmentVariableW(L"VANTOR_JOURNAL_FILE", folder.JournalFile().c_str());
    SetEnvironmentVariableW(L"VANTOR_LEDGER_DIR", folder.LedgerFolder().c_str());
    std::wstring program = (folder.Path() / programFile).wstring();
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                   folder.Path().c_str(), &startup, &m_info);
}

ProgramUnderTest::~ProgramUnderTest() {
    if (m_info.hProcess == nullptr)
        return;
    if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_info.hProcess, 1);
        WaitForSingleObject(m_info.hProcess, 5000);
    }
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
}

bool ProgramUnderTest::WaitForExit(DWORD timeoutMs) const {
    return m_info.hProcess != nullptr && WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ProgramUnderTest::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

std::vector<HWND> ProgramUnderTest::TopWindows() const {
    WindowSearch search{m_info.dwProcessId, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

HWND ProgramUnderTest::WaitForWindow(const std::wstring& caption, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopWindows())
                if (WindowText(window) == caption) {
                    found = window;
                    return true;
                }
            // A program that has ended shows no window any more.
            return WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0;
        },
        timeoutMs);
    return found;
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = L"";
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring MessageBoxText(HWND box) {
    return WindowText(GetDlgItem(box, 0xFFFF));
}

HWND PageWithControl(HWND main, int controlId) {
    ChildSearch search{controlId};
    EnumChildWindows(main, FindPage, reinterpret_cast<LPARAM>(&search));
    return search.page;
}

void ClickAt(HWND window, POINT client) {
    ClientToScreen(window, &client);
    SetCursorPos(client.x, client.y);
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &input[0], sizeof(INPUT));
    Sleep(50);
    SendInput(1, &input[1], sizeof(INPUT));
}

void PressKey(WORD virtualKey) {
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = virtualKey;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

bool SaveScreenshot(HWND window, const fs::path& bmpFile) {
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return false;
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    int stride = ((width * 3 + 3) / 4) * 4;
    std::vector<char> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(bmpFile, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}
