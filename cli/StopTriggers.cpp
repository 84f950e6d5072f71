#include "cli/StopTriggers.h"

#include <atomic>

namespace {
// The run the interrupt handler stops; handlers take no argument.
std::atomic<StopSignal*> g_interrupted{nullptr};
} // namespace

#ifdef _WIN32
#include <windows.h>

namespace {
BOOL WINAPI OnConsoleControl(DWORD event) {
    StopSignal* signal = g_interrupted.load();
    if (signal == nullptr || (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT))
        return FALSE;
    signal->Stop(); // the handler runs on a thread of its own
    return TRUE;
}
} // namespace

InterruptStop::InterruptStop(StopSignal& signal) {
    g_interrupted.store(&signal);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

InterruptStop::~InterruptStop() {
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    g_interrupted.store(nullptr);
}

#else
#include <csignal>
#include <unistd.h>

namespace {
int g_pipe[2] = {-1, -1};
struct sigaction g_savedInt, g_savedTerm;

// Only write() is safe in a signal handler: the reader thread does the rest.
void OnSignal(int) {
    const char byte = 'i';
    ssize_t written = write(g_pipe[1], &byte, 1);
    (void)written;
}
} // namespace

InterruptStop::InterruptStop(StopSignal& signal) {
    g_interrupted.store(&signal);
    if (pipe(g_pipe) != 0)
        return;
    m_reader = std::thread([] {
        char byte = 0;
        while (read(g_pipe[0], &byte, 1) == 1 && byte == 'i')
            g_interrupted.load()->Stop();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &g_savedInt);
    sigaction(SIGTERM, &action, &g_savedTerm);
}

InterruptStop::~InterruptStop() {
    if (!m_reader.joinable())
        return;
    sigaction(SIGINT, &g_savedInt, nullptr);
    sigaction(SIGTERM, &g_savedTerm, nullptr);
    const char end = 'q';
    ssize_t written = write(g_pipe[1], &end, 1);
    (void)written;
    m_reader.join();
    close(g_pipe[0]);
    close(g_pipe[1]);
    g_interrupted.store(nullptr);
}
#endif

IdleStop::IdleStop(StopSignal& signal, std::chrono::seconds idle) : m_signal(signal), m_idle(idle) {
    if (m_idle.count() > 0)
        m_thread = std::thread(&IdleStop::Watch, this);
}

IdleStop::~IdleStop() {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_bEnding = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void IdleStop::Touch() {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_deadline = std::chrono::steady_clock::now() + m_idle;
        m_bStarted = true;
    }
    m_wake.notify_all();
}

void IdleStop::Watch() {
    std::unique_lock<std::mutex> lock(m_lock);
    while (!m_bEnding) {
        if (!m_bStarted) {
            m_wake.wait(lock);
        } else if (std::chrono::steady_clock::now() >= m_deadline) {
            m_signal.Stop();
            return;
        } else {
            m_wake.wait_until(lock, m_deadline);
        }
    }
}
