#pragma once
// The bench every run works on: the binding to the token module, the operator's ledger, the
// stock list in force, the certificate random user PINs are sealed to, and the rule that one run at a time
// may be inside the module. The window program and the console each make one and hand it down to whatever
// runs a job; no part of the program looks for it anywhere else.
#include "attempt/StockGate.h"
#include "ledger/Ledger.h"
#include "seal/SealCertificate.h"
#include "token/TokenModule.h"
#include "workbench/RunGate.h"

#include <memory>

class Workbench {
  public:
    Workbench() = default;
    Workbench(const Workbench&) = delete;
    Workbench& operator=(const Workbench&) = delete;

    // The binding in force, read anew at every use; null when there is none.
    TokenModule* Module() const { return m_module; }
    // Takes `module` as the binding in force (null: none), releasing the one it owned.
    void Bind(std::unique_ptr<TokenModule> module);
    // Uses a binding someone else owns and keeps alive while it is in force (the console's,
    // a test's); null: none.
    void Lend(TokenModule* module);

    // The ledger every counted attempt is written to; null: nothing is written.
    Ledger* GetLedger() const { return m_ledger; }
    void OpenLedger(std::unique_ptr<Ledger> ledger);
    void LendLedger(Ledger* ledger);

    // The stock list: the gate that admits tokens and counts the list's serials done, and the
    // list as it was read (for the report) while one is in force.
    StockGate& Stock() { return m_stock; }
    StockList& StockListRead() { return m_stockList; }
    const StockList* StockInForce() const { return m_stock.InForce() ? &m_stockList : nullptr; }

    // The supervisor's certificate random user PINs are sealed to; null: none chosen.
    std::shared_ptr<const SealCertificate> SealCertificateInForce() const { return m_sealCertificate; }
    void PutSealCertificate(std::shared_ptr<const SealCertificate> certificate) {
        m_sealCertificate = std::move(certificate);
    }

    RunGate& Runs() { return m_runs; }

  private:
    std::unique_ptr<TokenModule> m_ownedModule;
    TokenModule* m_module = nullptr;
    std::unique_ptr<Ledger> m_ownedLedger;
    Ledger* m_ledger = nullptr;
    StockGate m_stock;
    StockList m_stockList;
    RunGate m_runs;
    std::shared_ptr<const SealCertificate> m_sealCertificate;
};
