#pragma once
// One child process of a station: started with its arguments, given its standard input at once
// (then end of file), read line by line from its standard output until a deadline, killed when
// it overstays. Its standard error is the station's. Every handle and descriptor is owned here.
#include "base/SecureBuffer.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

class AttemptChild {
  public:
    using Clock = std::chrono::steady_clock;
    enum class Read { kLine, kEnd, kTimedOut };

    AttemptChild();
    ~AttemptChild(); // kills a child still running and waits for it
    AttemptChild(const AttemptChild&) = delete;
    AttemptChild& operator=(const AttemptChild&) = delete;

    // False when the program cannot be started. The child's environment is this process's
    // without the variables named in `hidden` (those a PIN was read from: the child takes its
    // PINs on standard input only).
    bool Start(const std::wstring& program, const std::vector<std::wstring>& arguments,
               const SecureBytes& input, const std::vector<std::wstring>& hidden);
    // The next line of its output without the line end; kEnd when the output has ended,
    // kTimedOut when `deadline` passed first.
    Read NextLine(std::string& line, Clock::time_point deadline);
    // Ends the child at once and waits for it.
    void Kill();

    struct Process; // the platform's part

  private:
    // A whole line of what was read so far, without its line end.
    bool TakeLine(std::string& line);

    std::unique_ptr<Process> m_process;
    std::string m_pending; // output read past the last line returned
};
