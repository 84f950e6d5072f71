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
