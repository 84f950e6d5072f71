#pragma once
// vantor-cli as a separate process: arguments, extra environment, standard output and error
// together on one pipe read line by line (standard error into a file instead when one is
// named), standard input from a file when one is named, otherwise /dev/null (no terminal).
// VANTOR_LANG is zh unless the environment given names it; an entry "NAME" without '=' leaves
// NAME unset.
#include <string>
#include <sys/types.h>
#include <vector>

class CliProcess {
  public:
    CliProcess(const std::vector<std::string>& args, const std::vector<std::string>& environment,
               const std::string& errorFile = std::string(), const std::string& inputFile = std::string());
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // The next output line; false at the end of output or after `timeoutSeconds` (a hung run).
    bool NextLine(std::string& line, int timeoutSeconds = 60);
    // Reads the rest of the output and returns the exit code (-1 when it did not exit normally).
    int Finish(std::vector<std::string>* rest = nullptr);
    void Interrupt() const;

  private:
    pid_t m_pid = -1;
    int m_output = -1;
    std::string m_pending;
    bool m_bEnded = false; // the output reached its end
};
