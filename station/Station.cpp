#include "station/Station.h"

#include "attempt/StopSignal.h"
#include "attempt/OutcomeText.h"
#include "attempt/AttemptRunner.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "station/StationAttempt.h"
#include "token/TokenSlots.h"

#include <algorithm>
#include <list>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace {

// Places in the station's own slot listing: more than any hub has ports.
constexpr CK_ULONG kStationSlotPlaces = 64;

} // namespace

class StationEngine {
  public:
    StationEngine(TokenModule& module, StationSettings settings, StationFrontEnd& frontEnd)
        : m_module(module), m_settings(std::move(settings)), m_frontEnd(frontEnd) {}
    ~StationEngine() { Close(); }

    bool Start();
    void Stop() { m_taking.Stop(); }
    void Close();
    bool IsFinished() const {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_bFinished;
    }

  private:
    struct Attempt {
        std::thread thread;
        bool bDone = false;
    };
    class Tile;

    void Poll();
    void TakeNewTokens();
    // A token without a serial number (never initialised, or a module's spare slot) cannot be
    // keyed as the child, the ledger and a stock list need: its tile says it is left alone.
    void LeaveUnnumbered(CK_SLOT_ID slot);
    void RunAttempt(StationToken token, Attempt& attempt);
    void ReapEndedAttempts();
    void FinishWhenDone();
    template <class Call> void Show(Call show) {
        std::lock_guard<std::mutex> lock(m_showLock);
        show(m_frontEnd);
    }

    TokenModule& m_module;
    const StationSettings m_settings;
    StationFrontEnd& m_frontEnd;
    StopSignal m_taking; // stopped: no new token is taken

    mutable std::mutex m_lock; // everything below
    // Slots whose token has been taken, each with whether its attempt is in flight: not touched
    // again until the slot has been seen empty.
    std::map<CK_SLOT_ID, bool> m_slots;
    std::set<CK_SLOT_ID> m_unnumbered; // those of m_slots left alone for want of a serial
    std::list<Attempt> m_attempts;
    unsigned long m_inFlight = 0;
    unsigned long m_taken = 0;
    RunTally m_tally;
    bool m_bPollerEnded = false;
    bool m_bFinished = false; // ShowFinished is called, once

    std::thread m_poller;
    std::mutex m_showLock; // one front end call at a time
};

// One attempt's tile, fed by the runner: progress until the operation has returned, then the
// outcome.
class StationEngine::Tile final : public AttemptFrontEnd {
  public:
    Tile(StationEngine& engine, const StationToken& token) : m_engine(engine) {
        m_tile.slot = static_cast<unsigned long>(token.slot);
        m_tile.serial = token.serial;
        Show(StationPhase::Waiting, LoadStringOrDefault(IDS_STATION_WAITING), false);
    }
    void ShowProgress(std::wstring text) override { Show(StationPhase::Working, std::move(text), false); }
    void ShowOutcome(const AttemptOutcome& outcome) override {
        Show(StationPhase::Done, outcome.ShownText(), !IsShownAsSuccess(outcome.result));
    }
    void ShowVerifying() override {
        Show(StationPhase::Verifying, LoadStringOrDefault(IDS_STATION_VERIFYING), false);
    }

  private:
    void Show(StationPhase phase, std::wstring text, bool bFailure) {
        m_tile.phase = phase;
        m_tile.text = std::move(text);
        m_tile.bFailure = bFailure;
        m_engine.Show([this](StationFrontEnd& frontEnd) { frontEnd.ShowTile(m_tile); });
    }

    StationEngine& m_engine;
    StationTile m_tile;
};

bool StationEngine::Start() {
    if (!IsModuleBound(&m_module) || m_poller.joinable())
        return false;
    m_poller = std::thread([this] { Poll(); });
    return true;
}

void StationEngine::Close() {
    Stop();
    if (m_poller.joinable())
        m_poller.join();
    // Each attempt ends by its limit at the latest: its child is killed then.
    std::list<Attempt> attempts;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        attempts.swap(m_attempts);
    }
    for (Attempt& attempt : attempts)
        attempt.thread.join();
}

void StationEngine::Poll() {
    do {
        TakeNewTokens();
        ReapEndedAttempts();
    } while (m_taking.PauseWhileRunning(m_settings.pollPeriod));
    Show([](StationFrontEnd& frontEnd) { frontEnd.ShowTakingEnded(); });
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_bPollerEnded = true;
    }
    FinishWhenDone();
}

void StationEngine::TakeNewTokens() {
    const SlotList listing = ListSlots(m_module, kStationSlotPlaces);
    if (listing.rv != CKR_OK)
        return; // tried again at the next poll
    const std::vector<CK_SLOT_ID>& present = listing.slots;
    std::vector<CK_SLOT_ID> emptied;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (auto slot = m_slots.begin(); slot != m_slots.end();) {
            const bool bPresent = std::find(present.begin(), present.end(), slot->first) != present.end();
            if (bPresent || slot->second) {
                ++slot;
                continue;
            }
            emptied.push_back(slot->first);
            m_unnumbered.erase(slot->first);
            slot = m_slots.erase(slot);
        }
    }
    for (CK_SLOT_ID slot : emptied) {
        StationTile tile;
        tile.slot = static_cast<unsigned long>(slot);
        tile.text = LoadStringOrDefault(IDS_STATION_EMPTY);
        Show([&tile](StationFrontEnd& frontEnd) { frontEnd.ShowTile(tile); });
    }
    bool bNumbered = false; // a token with a serial number is present
    std::vector<CK_SLOT_ID> unnumbered;
    for (std::size_t i = 0; i < present.size() && m_taking.IsRunning(); ++i) {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_slots.count(present[i]) != 0) {
                bNumbered = bNumbered || m_unnumbered.count(present[i]) == 0;
                continue;
            }
        }
        StationToken token{present[i], ReadTokenSerial(m_module, present[i])};
        if (token.serial.empty()) {
            if (HasUnnumberedToken(m_module, token.slot))
                unnumbered.push_back(token.slot);
            continue; // otherwise unreadable: looked at again at the next poll
        }
        bNumbered = true;
        std::lock_guard<std::mutex> lock(m_lock);
        m_slots[token.slot] = true;
        ++m_inFlight;
        m_attempts.emplace_back();
        Attempt& attempt = m_attempts.back();
        attempt.thread = std::thread([this, token, &attempt] { RunAttempt(token, attempt); });
        if (m_settings.maxTokens != 0 && ++m_taken >= m_settings.maxTokens)
            m_taking.Stop();
    }
    // Beside a token with a serial number, one without is a module's spare slot (SoftHSM2
    // keeps one): passed over silently, as by the other operations.
    for (CK_SLOT_ID slot : unnumbered)
        if (!bNumbered && m_taking.IsRunning())
            LeaveUnnumbered(slot);
}

void StationEngine::LeaveUnnumbered(CK_SLOT_ID slot) {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_slots[slot] = false; // shown once, not touched while it stays
        m_unnumbered.insert(slot);
    }
    StationTile tile;
    tile.slot = static_cast<unsigned long>(slot);
    tile.phase = StationPhase::Done;
    tile.text = LoadStringOrDefault(IDS_STATION_NO_SERIAL);
    tile.bFailure = true; // refused, as a token off the stock list
    Show([&tile](StationFrontEnd& frontEnd) { frontEnd.ShowTile(tile); });
}

void StationEngine::RunAttempt(StationToken token, Attempt& attempt) {
    const AttemptSetting setting = JobSetting(m_settings.job, LedgerMode::Station, m_settings.ledger,
                                              m_settings.stock, m_settings.stopNote);
    Tile tile(*this, token);
    const AttemptOutcome outcome = RunAndRecordAttempt(
        [&](AttemptProgress& progress) { return RunChildAttempt(m_settings, token, progress); }, setting,
        tile);
    RunCounts counts;
    bool bEnds;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        bEnds = m_tally.Add(outcome);
        counts = m_tally.Counts();
    }
    if (bEnds)
        m_taking.Stop(); // the SO PIN typed for the station is wrong
    Show([&](StationFrontEnd& frontEnd) {
        frontEnd.ShowOutcome(outcome);
        if (outcome.IsCounted())
            frontEnd.ShowCounts(counts);
    });
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_slots[token.slot] = false;
        --m_inFlight;
        attempt.bDone = true;
    }
    FinishWhenDone();
}

void StationEngine::ReapEndedAttempts() {
    std::list<Attempt> ended;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (auto attempt = m_attempts.begin(); attempt != m_attempts.end();) {
            const auto next = std::next(attempt);
            if (attempt->bDone)
                ended.splice(ended.end(), m_attempts, attempt);
            attempt = next;
        }
    }
    for (Attempt& attempt : ended)
        attempt.thread.join();
}

void StationEngine::FinishWhenDone() {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_bPollerEnded || m_inFlight != 0 || m_bFinished)
            return;
        m_bFinished = true;
    }
    Show([](StationFrontEnd& frontEnd) { frontEnd.ShowFinished(); });
}

Station::Station(TokenModule& module, StationSettings settings, StationFrontEnd& frontEnd)
    : m_engine(std::make_unique<StationEngine>(module, std::move(settings), frontEnd)) {}

Station::~Station() = default;

bool Station::Start() {
    return m_engine->Start();
}

void Station::Stop() {
    m_engine->Stop();
}

void Station::Close() {
    m_engine->Close();
}

bool Station::IsFinished() const {
    return m_engine->IsFinished();
}
