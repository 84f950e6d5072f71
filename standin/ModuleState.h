#pragma once
// Everything the stand-in module remembers, behind its one mutex: the PKCS#11 state, the
// bench, injected faults, the journal, the watched bench file and the last PKI record.
#include "standin/BenchFile.h"
#include "standin/CallFaults.h"
#include "standin/Journal.h"
#include "standin/SessionTable.h"
#include "standin/TokenOperations.h"
#include "standin/VirtualBench.h"

#include <condition_variable>
#include <mutex>
#include <string_view>

class ModuleState {
  public:
    // Built at the first call into the module: runs the bench file, or sets up the default bench.
    static ModuleState& Instance();

    std::mutex& Mutex() { return m_mutex; }

    // The rest expects the mutex to be held.

    bool IsInitialized() const { return m_initialized; }
    void Initialize();
    // Ends the initialised state and wakes blocked C_WaitForSlotEvent calls; returns once
    // they have all left. `lock` must hold the mutex; it is released while waiting.
    void Finalize(std::unique_lock<std::mutex>& lock);
    // Bumped by every C_Finalize; a blocked wait compares it to see it must give up.
    unsigned Generation() const { return m_generation; }
    std::condition_variable& Changed() { return m_changed; }
    void EnterWait() { ++m_waiters; }
    void LeaveWait();
    // Calls held by a delay or hang, for the "held" query.
    void EnterHold() { ++m_held; }
    void LeaveHold() { --m_held; }

    VirtualBench& Bench() { return m_bench; }
    CallFaults& Faults() { return m_faults; }
    SessionTable& Sessions() { return m_sessions; }
    void Record(std::string line) { m_journal.Append(std::move(line)); }
    std::string JournalText() const { return m_journal.Text(); }
    void KeepPkiRecord(const PkiRecordCopy& record);

    // Runs the bench-file lines written since the last look.
    void PollBenchFile();
    // Whether the bench file was there at the last look: only then are token changes published.
    bool SharesBench() const { return m_benchFile.Present(); }
    // Appends the token's state line to the bench file, when it is there, for the other
    // processes that share it; this one applies it again when it reads it, changing nothing.
    void PublishState(unsigned slot, const VirtualToken& token);
    // One or more command lines; 0 when every one was understood and carried out.
    int RunCommands(std::string_view text);
    // The answer to a Bench_Query; empty for an unknown query.
    std::string Query(std::string_view query) const;

  private:
    ModuleState();
    bool RunCommand(std::string_view line);
    void ResetAll();
    std::string TokenQuery(std::string_view slotText) const;
    std::string PkiRecordQuery() const;

    struct LastPkiRecord {
        std::vector<std::uint8_t> bytes;
        std::optional<std::array<std::uint8_t, PKI_LABEL_FIELD_SIZE>> labelField;
        std::optional<std::size_t> soPinLength;
        std::optional<std::size_t> userPinLength;
    };

    std::mutex m_mutex;
    std::condition_variable m_changed; // slot events, finalisation, waiters leaving
    bool m_initialized = false;
    unsigned m_generation = 0;
    unsigned m_waiters = 0;
    unsigned m_held = 0;
    VirtualBench m_bench;
    CallFaults m_faults;
    SessionTable m_sessions;
    Journal m_journal;
    BenchFileWatcher m_benchFile;
    std::optional<LastPkiRecord> m_lastPkiRecord;
};
