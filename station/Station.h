#pragma once
// The station: while it runs, every token the module reports present is handled at once, each
// attempt in a child process of its own (vantor-cli slot-attempt), so that calls for different
// tokens overlap without ever entering one module instance from two threads, and a call that
// never returns can be abandoned by ending its process. The station's own binding only lists
// slots and reads serials; each outcome goes through the one attempt runner (mode station).
#include "attempt/AttemptRunner.h"
#include "attempt/Job.h"
#include "attempt/StockGate.h"
#include "base/SecureBuffer.h"
#include "ledger/Ledger.h"
#include "token/TokenModule.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

// What one slot's tile shows.
enum class StationPhase {
    Empty,     // the token left the slot (or none was there): the slot is free
    Waiting,   // a token was found; its attempt is starting
    Working,   // the token is being wiped or initialised
    Verifying, // the module answered; the token is being read back
    Done,      // the outcome is in `text`; the token is not touched again while it stays.
               // With an empty serial: a token without one, left alone, no outcome follows
};

struct StationTile {
    unsigned long slot = 0;
    std::wstring serial; // as the ledger records it; empty for an empty slot
    StationPhase phase = StationPhase::Empty;
    std::wstring text;     // Done: the outcome text with its notes; otherwise the phase's text
    bool bFailure = false; // Done: shown in the failure colour
};

// Whoever shows the station: the window's page or the console. Every call comes from one of
// the station's threads, one call at a time; a page posts the work to its UI thread and never
// waits for it there, since Close() on that thread waits for the station's threads.
class StationFrontEnd {
  public:
    virtual void ShowTile(const StationTile& tile) = 0;
    // The run's counters, after every counted outcome.
    virtual void ShowCounts(const RunCounts& counts) = 0;
    // No new token is taken any more: Stop, a wrong SO PIN on a wipe station, or the count
    // reached. Attempts in flight go on.
    virtual void ShowTakingEnded() = 0;
    // The taking has ended and no attempt is in flight any more.
    virtual void ShowFinished() = 0;
    // One token's outcome as the runner made it, ledger line written, just after its Done tile
    // (the console writes it as its JSON line).
    virtual void ShowOutcome(const AttemptOutcome& /*outcome*/) {}

  protected:
    ~StationFrontEnd() = default;
};

constexpr std::chrono::seconds kStationDefaultLimit{120};
constexpr std::chrono::milliseconds kStationPollPeriod{500};

struct StationSettings {
    // What every child does to its token, handed over through attempt/JobCodec.h; its ledger
    // operation and label are the job's.
    Job job;
    // The child: vantor-cli (the console: its own executable; the window: vantor-cli.exe beside it).
    std::wstring childProgram;
    // The environment variables the PINs were read from: left out of every child's environment.
    std::vector<std::wstring> pinVariables;
    // The module every child binds ("--module"; as there, a module named lacking the vendor
    // extension is driven through standard calls); empty: the child's own search (the module
    // beside vantor-cli).
    std::wstring modulePath;
    Ledger* ledger = nullptr;
    StopNote stopNote = StopNote::InMessage; // where a wrong SO PIN's note goes (the console: after)
    StockGate* stock = nullptr;
    // An attempt still running after this is killed and recorded as timed out.
    std::chrono::milliseconds limit = kStationDefaultLimit;
    std::chrono::milliseconds pollPeriod = kStationPollPeriod;
    // The taking ends after this many tokens were taken; 0: no limit.
    unsigned long maxTokens = 0;
};

class StationEngine;

class Station {
  public:
    // `module`: the caller's binding, used only to list slots and read serials; the caller
    // releases it after Close().
    Station(TokenModule& module, StationSettings settings, StationFrontEnd& frontEnd);
    ~Station(); // Close()
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // False when the module is not bound: nothing is started (the caller shows
    // IDS_INIT_MODULE_FAILED).
    bool Start();
    // Ends the taking of new tokens at once; attempts in flight finish or are killed at their limit.
    void Stop();
    // Stop, then wait for the attempts in flight (each at most until its limit, then killed).
    // ShowFinished has been called when it returns, if Start succeeded.
    void Close();
    // The taking has ended and no attempt is in flight.
    bool IsFinished() const;

  private:
    std::unique_ptr<StationEngine> m_engine;
};
