#pragma once
// Wall-clock time in milliseconds from the performance counter.
#include <windows.h>

class Stopwatch {
  public:
    Stopwatch() { Restart(); }
    void Restart() { QueryPerformanceCounter(&m_start); }
    double Milliseconds() const {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - m_start.QuadPart) * 1000.0 /
               static_cast<double>(frequency.QuadPart);
    }

  private:
    LARGE_INTEGER m_start;
};
