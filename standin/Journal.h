#pragma once
// The record of module calls: one line each, oldest first. Bounded, so that a program left
// running for days with its worker polling twice a second does not grow without end.
#include "standin/AppendFile.h"

#include <cstddef>
#include <deque>
#include <filesystem>
#include <string>

class Journal {
  public:
    static constexpr std::size_t kMaxLines = 100000;

    // Every later line is also appended to `file` in one write, so that a test driving the
    // program as a separate process can read which calls it made, and several processes
    // can share one file without mixing their lines.
    void MirrorTo(const std::filesystem::path& file);
    void Append(std::string line);
    void Clear() { m_lines.clear(); }
    // Every line, each ended by '\n'.
    std::string Text() const;

  private:
    std::deque<std::string> m_lines;
    AppendFile m_mirror;
};

// Copies text into a caller's buffer as the Bench_* exports do: as much as fits, always
// NUL-terminated when size > 0; returns the full length without the NUL.
std::size_t CopyOut(const std::string& text, char* buffer, std::size_t size);
