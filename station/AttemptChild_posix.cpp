// The POSIX child: posix_spawn with close-on-exec pipes, so that a child started at the same
// time by another attempt never holds this one's pipe ends open.
#include "station/AttemptChild.h"

#include "base/Utf8.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

class Fd {
  public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return m_fd; }
    void Close() {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = -1;
    }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void Reset(int fd) {
        Close();
        m_fd = fd;
    }

  private:
    int m_fd;
};

bool OpenPipe(Fd& read, Fd& write) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return false;
    read.Reset(ends[0]);
    write.Reset(ends[1]);
    return true;
}

class SpawnActions {
  public:
    SpawnActions() { posix_spawn_file_actions_init(&m_actions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&m_actions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* Get() { return &m_actions; }

  private:
    posix_spawn_file_actions_t m_actions;
};

// This process's environment without the entries named in `hidden`; the pointers stay
// environ's own.
std::vector<char*> EnvironmentWithout(const std::vector<std::wstring>& hidden) {
    std::vector<std::string> names;
    for (const std::wstring& name : hidden)
        names.push_back(WideToUtf8(name) + "=");
    std::vector<char*> kept;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        bool bHidden = false;
        for (const std::string& name : names)
            bHidden = bHidden || std::strncmp(*entry, name.c_str(), name.size()) == 0;
        if (!bHidden)
            kept.push_back(*entry);
    }
    kept.push_back(nullptr);
    return kept;
}

} // namespace

struct AttemptChild::Process {
    pid_t pid = -1;
    Fd output;

    void Reap() {
        if (pid <= 0)
            return;
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid = -1;
    }
};

AttemptChild::AttemptChild() : m_process(std::make_unique<Process>()) {}

AttemptChild::~AttemptChild() {
    Kill();
}

bool AttemptChild::Start(const std::wstring& program, const std::vector<std::wstring>& arguments,
                         const SecureBytes& input, const std::vector<std::wstring>& hidden) {
    // A child that ends before reading its input must not end the station.
    std::signal(SIGPIPE, SIG_IGN);
    Fd inputRead, inputWrite, outputRead, outputWrite;
    if (!OpenPipe(inputRead, inputWrite) || !OpenPipe(outputRead, outputWrite))
        return false;
    std::vector<std::string> texts{WideToUtf8(program)};
    for (const std::wstring& argument : arguments)
        texts.push_back(WideToUtf8(argument));
    std::vector<char*> argv;
    for (std::string& text : texts)
        argv.push_back(&text[0]);
    argv.push_back(nullptr);
    SpawnActions actions;
    posix_spawn_file_actions_adddup2(actions.Get(), inputRead.Get(), 0);
    posix_spawn_file_actions_adddup2(actions.Get(), outputWrite.Get(), 1);
    std::vector<char*> environment = EnvironmentWithout(hidden);
    if (posix_spawn(&m_process->pid, argv[0], actions.Get(), nullptr, argv.data(), environment.data()) != 0) {
        m_process->pid = -1;
        return false;
    }
    inputRead.Close();
    outputWrite.Close();
    // A few hundred bytes at most: the pipe takes them without the child reading.
    std::size_t written = 0;
    while (written < input.size()) {
        const ssize_t n = write(inputWrite.Get(), input.data() + written, input.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    m_process->output.Reset(outputRead.Release());
    return true;
}

AttemptChild::Read AttemptChild::NextLine(std::string& line, Clock::time_point deadline) {
    for (;;) {
        if (TakeLine(line))
            return Read::kLine;
        if (m_process->output.Get() < 0)
            return Read::kEnd;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return Read::kTimedOut;
        pollfd ready{m_process->output.Get(), POLLIN, 0};
        const int polled = poll(&ready, 1, static_cast<int>(left > 1000 ? 1000 : left));
        if (polled < 0 && errno != EINTR)
            return Read::kEnd;
        if (polled <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = read(m_process->output.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_process->output.Close();
            continue; // a last line without its line end is dropped with the rest
        }
        m_pending.append(buffer, static_cast<std::size_t>(n));
    }
}

void AttemptChild::Kill() {
    if (m_process->pid > 0)
        kill(m_process->pid, SIGKILL);
    m_process->Reap();
    m_process->output.Close();
}
