#pragma once
// The station engine's tests' common ground: what the front end was shown, a fresh bench file
// the children run from its start, a journal file they all append to, and the test's own
// binding that the station lists slots and reads serials through.
#include "LedgerReader.h"
#include "StandinHandle.h"
#include "station/Station.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kSoPin = "Kw5Zp9";
const std::wstring kTimedOut = L"操作超时";

// What the front end was shown, waited for under its own lock.
class Recorder final : public StationFrontEnd {
  public:
    void ShowTile(const StationTile& tile) override {
        Record([&] { tiles.push_back(tile); });
    }
    void ShowCounts(const RunCounts& shown) override {
        Record([&] { counts = {shown.total, shown.success, shown.failure}; });
    }
    void ShowTakingEnded() override {
        Record([&] { ++takingEnded; });
    }
    void ShowFinished() override {
        Record([&] { ++finished; });
    }
    void ShowOutcome(const AttemptOutcome& outcome) override {
        Record([&] { outcomes.push_back(outcome); });
    }

    // Waits for `done` (under the lock); false only when the test has hung.
    template <class Done> bool Wait(Done done) {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, std::chrono::minutes(2), [&] { return done(); });
    }
    template <class Reader> auto Read(Reader read) {
        std::lock_guard<std::mutex> lock(m_lock);
        return read();
    }

    // Under the lock: the phase the slot's tile shows last, if it was shown at all.
    std::optional<StationPhase> PhaseOf(unsigned long slot) const {
        for (auto tile = tiles.rbegin(); tile != tiles.rend(); ++tile)
            if (tile->slot == slot)
                return tile->phase;
        return std::nullopt;
    }
    // Under the lock: whether the slot's outcome has arrived.
    bool HasOutcome(unsigned long slot) const {
        for (const AttemptOutcome& outcome : outcomes)
            if (outcome.entry.slot == slot)
                return true;
        return false;
    }

    std::vector<StationTile> tiles;
    std::vector<AttemptOutcome> outcomes;
    std::vector<unsigned long> counts;
    int takingEnded = 0, finished = 0;

  private:
    template <class Change> void Record(Change change) {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            change();
        }
        m_changed.notify_all();
    }
    std::mutex m_lock;
    std::condition_variable m_changed;
};

// Runs `last` when it goes out of scope.
template <class Last> struct ScopeEnd {
    Last last;
    ~ScopeEnd() { last(); }
};
template <class Last> ScopeEnd<Last> AtScopeEnd(Last last) {
    return {last};
}

inline std::string Serial(int n) {
    char text[17];
    std::snprintf(text, sizeof text, "00000000000000%02X", n);
    return text;
}

// Processes whose parent is this one, zombies included: none once every child was ended and
// waited for.
inline int ChildProcesses() {
    int count = 0;
    std::unique_ptr<DIR, int (*)(DIR*)> proc(opendir("/proc"), closedir);
    if (!proc)
        return -1; // never mistaken for "none left"
    while (const dirent* entry = readdir(proc.get())) {
        std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
        std::string line;
        if (!std::getline(stat, line) || line.rfind(')') == std::string::npos)
            continue;
        // "pid (name) state ppid ...": the name may hold spaces and parentheses.
        char state = 0;
        long parent = 0;
        if (std::sscanf(line.c_str() + line.rfind(')') + 1, " %c %ld", &state, &parent) == 2 &&
            parent == static_cast<long>(getpid()))
            ++count;
    }
    return count;
}

class StationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/vantor-station-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        // One bench file and one journal file for the whole program, as the stand-in loaded in
        // it lives on from test to test; the children inherit both and run the bench from its
        // start, up to this reset.
        const std::string own = std::to_string(getpid()) + ".txt";
        bench = folder.parent_path() / ("vantor-station-bench-" + own);
        journal = folder.parent_path() / ("vantor-station-journal-" + own);
        setenv("VANTOR_BENCH_FILE", bench.c_str(), 1);
        setenv("VANTOR_JOURNAL_FILE", journal.c_str(), 1);
        std::ofstream(journal, std::ios::trunc).flush();
        Bench("reset");
        ASSERT_EQ(module.LoadTokenModule(messages), CKR_OK);
        ledger = std::make_unique<Ledger>(LedgerPath((folder / "ledger").string()));
    }
    void TearDown() override {
        module.UnloadTokenModule();
        fs::remove_all(folder);
    }
    void Bench(const std::string& lines) const { std::ofstream(bench, std::ios::app) << lines << "\n"; }
    void Insert(int slot, const std::string& keys = "") const {
        Bench("insert " + std::to_string(slot) + " serial=" + Serial(slot) + " so=" + kSoPin + " " + keys);
    }

    StationSettings Settings(JobOperation operation, SecretText& soPin, SecretText& userPin,
                             SecretText& currentSoPin) const {
        StationSettings settings;
        settings.childProgram = L"" VANTOR_CLI_PATH;
        settings.modulePath = module.FileName();
        settings.ledger = ledger.get();
        settings.pollPeriod = std::chrono::milliseconds(50);
        settings.limit = std::chrono::seconds(2);
        if (operation == JobOperation::Pki) {
            settings.job.operation = JobOperation::Pki;
            settings.job.pki.strLabel = L"Station";
            settings.job.pki.strSoPin = soPin;
            settings.job.pki.strUserPin = userPin;
            settings.job.pki.strCurrentSoPin = currentSoPin;
        } else {
            settings.job.soPin = soPin;
        }
        return settings;
    }

    std::size_t Outcomes() {
        return recorder.Read([&] { return recorder.outcomes.size(); });
    }
    bool WaitOutcomes(std::size_t count) {
        return recorder.Wait([&] { return recorder.outcomes.size() >= count; });
    }
    // The outcome texts by slot.
    std::map<unsigned long, std::wstring> Texts() {
        return recorder.Read([&] {
            std::map<unsigned long, std::wstring> texts;
            for (const AttemptOutcome& outcome : recorder.outcomes)
                texts[outcome.entry.slot.value_or(99)] = outcome.entry.message + outcome.note;
            return texts;
        });
    }
    // Calls that write to the token in `slot`, made by any process of this test.
    int WritesOn(int slot) const {
        std::ifstream lines(journal);
        int count = 0;
        for (std::string line; std::getline(lines, line);) {
            const bool bWrite = line.rfind("E_InitBlankToken ", 0) == 0 ||
                                line.rfind("E_InitPkiToken ", 0) == 0 || line.rfind("C_InitToken ", 0) == 0;
            count += bWrite && ParseFields(line)["slot"] == std::to_string(slot);
        }
        return count;
    }

    static inline fs::path bench, journal;
    fs::path folder;
    struct Messages final : ModuleMessageSink {
        void ShowModuleMessage(unsigned) override {}
    } messages;
    TokenModule module{StandinPath()};
    std::unique_ptr<Ledger> ledger;
    Recorder recorder;
    SecretText soPin{L"Kw5Zp9"}, userPin{L"Ux4Tq2"}, noPin{L""};
};

} // namespace
