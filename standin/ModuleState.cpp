#include "standin/ModuleState.h"

#include "base/HexText.h"
#include "standin/AppendFile.h"
#include "standin/BenchParser.h"
#include "standin/TokenStateLine.h"

#include <charconv>
#include <cstdio>

namespace {

template <class... T> struct Overloaded : T... { using T::operator()...; };
template <class... T> Overloaded(T...) -> Overloaded<T...>;

std::string Length(const std::optional<std::size_t>& length) {
    return length ? std::to_string(*length) : std::string("-1");
}

} // namespace

ModuleState& ModuleState::Instance() {
    static ModuleState state;
    return state;
}

ModuleState::ModuleState() : m_benchFile(LocateBenchFile()) {
    // Nobody else can reach the state before this constructor returns: no lock needed.
    std::filesystem::path journalFile = LocateJournalFile();
    if (!journalFile.empty())
        m_journal.MirrorTo(journalFile);
    std::vector<std::string> lines = m_benchFile.TakeNewLines();
    if (lines.empty()) {
        RunCommand("default");
        return;
    }
    for (const auto& line : lines)
        RunCommand(line);
}

void ModuleState::Initialize() {
    m_initialized = true;
    // Like a reader's driver, the module reports changes from here on, not what came before.
    m_bench.DropEvents();
}

void ModuleState::Finalize(std::unique_lock<std::mutex>& lock) {
    m_initialized = false;
    m_sessions.Clear();
    ++m_generation;
    m_changed.notify_all();
    // The program frees the library right after C_Finalize: no thread may still be inside.
    m_changed.wait(lock, [this] { return m_waiters == 0; });
}

void ModuleState::LeaveWait() {
    --m_waiters;
    m_changed.notify_all();
}

void ModuleState::KeepPkiRecord(const PkiRecordCopy& record) {
    LastPkiRecord last;
    last.bytes.assign(record.bytes.begin(), record.bytes.end());
    last.labelField = record.labelField;
    if (record.soPin)
        last.soPinLength = record.soPin->size();
    if (record.userPin)
        last.userPinLength = record.userPin->size();
    m_lastPkiRecord = std::move(last);
}

void ModuleState::PublishState(unsigned slot, const VirtualToken& token) {
    SecretLine line = StateLine(slot, token);
    // Opened for each line: a test may delete or replace the file between calls.
    AppendFile(m_benchFile.Path(), AppendFile::Open::OnlyIfExists).Append(line.data(), line.size());
}

void ModuleState::PollBenchFile() {
    for (const auto& line : m_benchFile.TakeNewLines())
        RunCommand(line); // a refused line changes nothing; the others still run
}

int ModuleState::RunCommands(std::string_view text) {
    int failures = 0;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!RunCommand(line))
            ++failures;
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return failures == 0 ? 0 : 1;
}

void ModuleState::ResetAll() {
    m_bench.Reset();
    m_faults.Clear();
    m_sessions.Clear();
    m_journal.Clear();
    m_lastPkiRecord.reset();
}

bool ModuleState::RunCommand(std::string_view line) {
    BenchParse parse = ParseBenchLine(line);
    if (!parse.ok)
        return false;
    bool done = std::visit(Overloaded{
                               [](const BenchNothing&) { return true; },
                               [this](const BenchReset&) {
                                   ResetAll();
                                   return true;
                               },
                               [this](const BenchDefault&) {
                                   ResetAll();
                                   auto token = MakeToken(0, TokenDescription{});
                                   return token && m_bench.Insert(0, std::move(*token));
                               },
                               [this](const BenchSlots& c) {
                                   m_bench.SetSlotCount(c.count);
                                   return true;
                               },
                               [this](const BenchInsert& c) {
                                   auto token = MakeToken(c.slot, c.token);
                                   return token && m_bench.Insert(c.slot, std::move(*token));
                               },
                               [this](const BenchRemove& c) { return m_bench.Remove(c.slot); },
                               [this](const BenchChurn& c) {
                                   auto token = MakeToken(c.slot, c.token);
                                   return token && m_bench.Churn(c.slot, c.count, std::move(*token));
                               },
                               [this](const BenchFail& c) {
                                   m_faults.Fail(c.call, c.code, c.always, c.skip);
                                   return true;
                               },
                               [this](const BenchDelay& c) {
                                   m_faults.Delay(c.call, c.milliseconds, c.filter);
                                   return true;
                               },
                               [this](const BenchHang& c) {
                                   m_faults.Hang(c.call, c.filter);
                                   return true;
                               },
                               [this](const BenchState& c) {
                                   // No slot event: it is the same token, changed by a call.
                                   VirtualToken* token = m_bench.TokenIn(c.slot);
                                   if (token != nullptr && token->serial == c.serial)
                                       ApplyState(*token, c.state);
                                   return true;
                               },
                               [this](const BenchClearFaults&) {
                                   m_faults.Clear();
                                   return true;
                               },
                               [this](const BenchClearJournal&) {
                                   m_journal.Clear();
                                   return true;
                               },
                           },
                           parse.command);
    m_changed.notify_all(); // a blocked wait may have an event now, a held call its release
    return done;
}

std::string ModuleState::Query(std::string_view query) const {
    while (!query.empty() && (query.back() == ' ' || query.back() == '\n' || query.back() == '\r'))
        query.remove_suffix(1);
    if (query == "initialized")
        return m_initialized ? "1" : "0";
    if (query == "events")
        return std::to_string(m_bench.PendingEvents());
    if (query == "waiting")
        return std::to_string(m_waiters);
    if (query == "held")
        return std::to_string(m_held);
    if (query == "last-pki-record")
        return PkiRecordQuery();
    if (query.substr(0, 6) == "token ")
        return TokenQuery(query.substr(6));
    return std::string();
}

std::string ModuleState::TokenQuery(std::string_view slotText) const {
    unsigned slot = 0;
    auto [end, ec] = std::from_chars(slotText.data(), slotText.data() + slotText.size(), slot);
    if (ec != std::errc() || end != slotText.data() + slotText.size() || !m_bench.IsSlot(slot))
        return std::string();
    const VirtualToken* token = m_bench.TokenIn(slot);
    if (token == nullptr)
        return "present=0";
    char numbers[160];
    std::snprintf(numbers, sizeof numbers,
                  "present=1 type=%u so-left=%u user-left=%u so-max=%u user-max=%u label=", token->type,
                  token->soLeft, token->userLeft, token->soMax, token->userMax);
    return numbers + token->label + " public=" + std::to_string(token->publicSize) +
           " private=" + std::to_string(token->privateSize);
}

std::string ModuleState::PkiRecordQuery() const {
    if (!m_lastPkiRecord)
        return std::string();
    const LastPkiRecord& last = *m_lastPkiRecord;
    std::string label =
        last.labelField ? HexText(last.labelField->data(), last.labelField->size()) : std::string();
    return "record=" + HexText(last.bytes.data(), last.bytes.size()) + " label=" + label +
           " so-len=" + Length(last.soPinLength) + " user-len=" + Length(last.userPinLength);
}
