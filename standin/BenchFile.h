#pragma once
// The bench file other processes append command lines to (scripts/bench.sh), so that virtual
// tokens can be plugged and pulled while the program runs.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

constexpr const char* kBenchFileName = "orbelcsp11-bench.txt";

// $VANTOR_BENCH_FILE when set, otherwise the bench file in the module's own folder.
std::filesystem::path LocateBenchFile();
// $VANTOR_JOURNAL_FILE, or empty: where the journal is mirrored for another process to read.
std::filesystem::path LocateJournalFile();

class BenchFileWatcher {
  public:
    explicit BenchFileWatcher(std::filesystem::path path) : m_path(std::move(path)) {}
    const std::filesystem::path& Path() const { return m_path; }

    // The complete lines written since the last call: the whole file at the first call,
    // and again from the start when the file has shrunk (it was replaced). A line still
    // being written waits for its line end.
    std::vector<std::string> TakeNewLines();
    // Whether the file was there at the last look.
    bool Present() const { return m_present; }

  private:
    static constexpr std::uintmax_t kMaxReadPerCall = 1 << 20;
    std::filesystem::path m_path;
    std::uintmax_t m_offset = 0;
    bool m_present = false;
};
