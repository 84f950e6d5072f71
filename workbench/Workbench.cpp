#include "workbench/Workbench.h"

void Workbench::Bind(std::unique_ptr<TokenModule> module) {
    // The binding in force is released before the caller loads the new one: it may be the same
    // library, which must start afresh.
    m_module = nullptr;
    m_ownedModule = std::move(module);
    m_module = m_ownedModule.get();
}

void Workbench::Lend(TokenModule* module) {
    m_ownedModule.reset();
    m_module = module;
}

void Workbench::OpenLedger(std::unique_ptr<Ledger> ledger) {
    m_ownedLedger = std::move(ledger);
    m_ledger = m_ownedLedger.get();
}

void Workbench::LendLedger(Ledger* ledger) {
    m_ownedLedger.reset();
    m_ledger = ledger;
}

AttemptOutcome Workbench::RunOnce(const Job& job, AttemptFrontEnd& frontEnd) {
    TokenModule* module = Module();
    return RunAndRecordAttempt([&](AttemptProgress& progress) { return DoJob(module, job, false, progress); },
                               JobSetting(job, LedgerMode::Single, GetLedger(), &Stock()), frontEnd);
}

std::unique_ptr<Station> Workbench::StartStation(const Job& job, StationOptions options,
                                                 StationFrontEnd& frontEnd) {
    if (Module() == nullptr)
        return nullptr;
    StationSettings settings;
    settings.job = job;
    settings.childProgram = std::move(options.childProgram);
    settings.pinVariables = std::move(options.pinVariables);
    settings.modulePath = std::move(options.modulePath);
    settings.ledger = GetLedger();
    settings.stopNote = options.stopNote;
    settings.stock = &Stock();
    settings.limit = options.limit;
    settings.maxTokens = options.maxTokens;
    auto station = std::make_unique<Station>(*Module(), std::move(settings), frontEnd);
    if (!station->Start())
        return nullptr;
    return station;
}
