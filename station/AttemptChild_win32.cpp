// The Windows child: one job object per child that kills it when the job's last handle closes,
// so a child never outlives the station, even when the station process itself dies.
#include "station/AttemptChild.h"

#include <cwchar>
#include <mutex>
#include <thread>

#include <windows.h>

namespace {

class Handle {
  public:
    explicit Handle(HANDLE handle = nullptr) : m_handle(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return m_handle; }
    void Reset(HANDLE handle) {
        Close();
        m_handle = handle;
    }
    HANDLE* Out() {
        Close();
        return &m_handle;
    }
    void Close() {
        if (m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
        m_handle = nullptr;
    }

  private:
    HANDLE m_handle;
};

// Pipe ends meant for one child are inheritable from their creation until that child has
// them: no other attempt's child may be started in between and hold them open.
std::mutex g_inheritLock;

// One argument as the child's C runtime splits its command line back.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    for (std::size_t i = 0;; ++i) {
        std::size_t backslashes = 0;
        for (; i < argument.size() && argument[i] == L'\\'; ++i)
            ++backslashes;
        if (i == argument.size()) {
            quoted.append(backslashes * 2, L'\\');
            break;
        }
        if (argument[i] == L'"')
            quoted.append(backslashes * 2 + 1, L'\\');
        else
            quoted.append(backslashes, L'\\');
        quoted += argument[i];
    }
    return quoted + L"\"";
}

constexpr std::chrono::milliseconds kOutputPollPeriod{10};

// The entry's name: up to its '=' (an entry of the form "=C:=C:\\" keeps its first '=').
bool IsNamed(const wchar_t* entry, const std::wstring& name) {
    const wchar_t* equals = std::wcschr(entry + 1, L'=');
    const std::size_t length =
        equals == nullptr ? std::wcslen(entry) : static_cast<std::size_t>(equals - entry);
    return length == name.size() && CompareStringOrdinal(entry, static_cast<int>(length), name.c_str(),
                                                         static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

// This process's environment block without the variables named in `hidden` (names are
// compared as Windows does, ignoring case), for CreateProcessW with CREATE_UNICODE_ENVIRONMENT.
std::wstring EnvironmentWithout(const std::vector<std::wstring>& hidden) {
    std::wstring block;
    wchar_t* strings = GetEnvironmentStringsW();
    if (strings != nullptr) {
        for (const wchar_t* entry = strings; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
            bool bHidden = false;
            for (const std::wstring& name : hidden)
                bHidden = bHidden || IsNamed(entry, name);
            if (!bHidden)
                block.append(entry, std::wcslen(entry) + 1);
        }
        FreeEnvironmentStringsW(strings);
    }
    if (block.empty())
        block.push_back(L'\0'); // an empty block is two zeros
    block.push_back(L'\0');
    return block;
}

} // namespace

struct AttemptChild::Process {
    Handle job;
    Handle process;
    Handle output;
};

AttemptChild::AttemptChild() : m_process(std::make_unique<Process>()) {}

AttemptChild::~AttemptChild() {
    Kill();
}

bool AttemptChild::Start(const std::wstring& program, const std::vector<std::wstring>& arguments,
                         const SecureBytes& input, const std::vector<std::wstring>& hidden) {
    Process& p = *m_process;
    p.job.Reset(CreateJobObjectW(nullptr, nullptr));
    if (p.job.Get() == nullptr)
        return false;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(p.job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);

    std::wstring environment = EnvironmentWithout(hidden);
    std::wstring commandLine = Quoted(program);
    for (const std::wstring& argument : arguments)
        commandLine += L" " + Quoted(argument);
    Handle inputRead, inputWrite, outputWrite;
    PROCESS_INFORMATION started = {};
    {
        std::lock_guard<std::mutex> lock(g_inheritLock);
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        if (!CreatePipe(inputRead.Out(), inputWrite.Out(), &inherit, 0) ||
            !CreatePipe(p.output.Out(), outputWrite.Out(), &inherit, 0))
            return false;
        SetHandleInformation(inputWrite.Get(), HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(p.output.Get(), HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = inputRead.Get();
        startup.hStdOutput = outputWrite.Get();
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                            CREATE_SUSPENDED | CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, &environment[0],
                            nullptr, &startup, &started))
            return false;
        inputRead.Close();
        outputWrite.Close();
    }
    p.process.Reset(started.hProcess);
    Handle thread(started.hThread);
    if (!AssignProcessToJobObject(p.job.Get(), p.process.Get())) {
        TerminateProcess(p.process.Get(), 1);
        return false;
    }
    ResumeThread(thread.Get());
    // A few hundred bytes at most: the pipe takes them without the child reading.
    DWORD written = 0;
    WriteFile(inputWrite.Get(), input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
    return true;
}

AttemptChild::Read AttemptChild::NextLine(std::string& line, Clock::time_point deadline) {
    for (;;) {
        if (TakeLine(line))
            return Read::kLine;
        if (m_process->output.Get() == nullptr)
            return Read::kEnd;
        // Anonymous pipes cannot wait with a deadline: look, and read only what is there.
        DWORD available = 0;
        if (!PeekNamedPipe(m_process->output.Get(), nullptr, 0, nullptr, &available, nullptr)) {
            m_process->output.Close(); // the child's end is closed: it has ended
            continue;
        }
        if (available == 0) {
            if (Clock::now() >= deadline)
                return Read::kTimedOut;
            std::this_thread::sleep_for(kOutputPollPeriod);
            continue;
        }
        char buffer[4096];
        DWORD read = 0;
        if (!ReadFile(m_process->output.Get(), buffer, available < sizeof buffer ? available : sizeof buffer,
                      &read, nullptr) ||
            read == 0) {
            m_process->output.Close();
            continue;
        }
        m_pending.append(buffer, read);
    }
}

void AttemptChild::Kill() {
    Process& p = *m_process;
    if (p.job.Get() != nullptr)
        TerminateJobObject(p.job.Get(), 1);
    if (p.process.Get() != nullptr) {
        TerminateProcess(p.process.Get(), 1);
        WaitForSingleObject(p.process.Get(), INFINITE);
    }
    p.process.Close();
    p.job.Close();
    p.output.Close();
}
