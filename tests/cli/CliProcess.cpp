#include "CliProcess.h"

#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::string NameOf(const std::string& entry) {
    return entry.substr(0, entry.find('='));
}

} // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, const std::vector<std::string>& environment,
                       const std::string& errorFile, const std::string& inputFile) {
    std::vector<std::string> env;
    bool bLanguage = false;
    for (const std::string& own : environment) {
        bLanguage = bLanguage || NameOf(own) == "VANTOR_LANG";
        if (own.find('=') != std::string::npos) // a bare name: the variable is left unset
            env.push_back(own);
    }
    // The texts the tests expect are Chinese, wherever the test program runs.
    if (!bLanguage)
        env.push_back("VANTOR_LANG=zh");
    // The test's own entries replace the inherited ones of the same name.
    auto given = [&](const std::string& name) {
        for (const std::string& own : environment)
            if (NameOf(own) == name)
                return true;
        return false;
    };
    for (char** e = environ; *e != nullptr; ++e)
        if (std::strncmp(*e, "VANTOR_", 7) != 0 && !given(NameOf(*e)))
            env.push_back(*e);
    std::vector<char*> argv{const_cast<char*>(VANTOR_CLI_PATH)}, envp;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    for (std::string& entry : env)
        envp.push_back(&entry[0]);
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inputFile.empty() ? "/dev/null" : inputFile.c_str(),
                                     O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    if (errorFile.empty())
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
    else
        posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    if (posix_spawn(&m_pid, VANTOR_CLI_PATH, &actions, nullptr, argv.data(), envp.data()) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    m_output = pipeEnds[0];
}

CliProcess::~CliProcess() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    if (m_output >= 0)
        close(m_output);
}

bool CliProcess::NextLine(std::string& line, int timeoutSeconds) {
    for (;;) {
        const std::size_t end = m_pending.find('\n');
        if (end != std::string::npos) {
            line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            return true;
        }
        pollfd ready{m_output, POLLIN, 0};
        char buffer[4096];
        if (poll(&ready, 1, timeoutSeconds * 1000) <= 0)
            return false;
        const ssize_t n = read(m_output, buffer, sizeof buffer);
        if (n <= 0) {
            m_bEnded = true;
            return false;
        }
        m_pending.append(buffer, static_cast<std::size_t>(n));
    }
}

int CliProcess::Finish(std::vector<std::string>* rest) {
    for (std::string line; NextLine(line);)
        if (rest != nullptr)
            rest->push_back(line);
    if (!m_bEnded)
        kill(m_pid, SIGKILL); // hung: the test fails on the exit code
    int status = 0;
    if (m_pid <= 0 || waitpid(m_pid, &status, 0) != m_pid)
        return -1;
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void CliProcess::Interrupt() const {
    kill(m_pid, SIGINT);
}
