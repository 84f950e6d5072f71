#pragma once
// The bench every run works on: the binding to the token module, the operator's ledger, the
// stock list in force, the certificate random user PINs are sealed to, and the rule that one
// run at a time may be inside the module. The window program and the console each make one and
// hand it down; it runs their jobs (once, as a batch, as a station) and they only show what it
// reports.
#include "attempt/AttemptRunner.h"
#include "attempt/Job.h"
#include "attempt/StockGate.h"
#include "attempt/StopSignal.h"
#include "ledger/Ledger.h"
#include "seal/SealCertificate.h"
#include "station/Station.h"
#include "token/TokenModule.h"
#include "workbench/BatchView.h"
#include "workbench/RunGate.h"
#include "workbench/StationOptions.h"

#include <chrono>
#include <memory>

// How often a batch run asks the module for a slot event, without blocking.
constexpr std::chrono::milliseconds kSlotPollPeriod{500};

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

    // One attempt of `job` on the single present token of the binding in force: recorded in
    // the ledger when it counts, then shown on `frontEnd`, which answers the final-try question.
    AttemptOutcome RunOnce(const Job& job, AttemptFrontEnd& frontEnd);

    // A batch run of `job` on the caller's thread until `stop`: pending slot events drained,
    // one attempt at once, then one per slot event, polling every `pollPeriod`. Every counted
    // outcome goes to `tally`, whose end (a refused SO PIN, its count) stops the run. False
    // when the run could not start (shown on `view` as refused).
    bool RunBatch(const Job& job, BatchView& view, RunTally& tally, StopSignal& stop,
                  StopNote stopNote = StopNote::InMessage,
                  std::chrono::milliseconds pollPeriod = kSlotPollPeriod);

    // A station for `job` on the binding in force, its ledger and stock list, started; null
    // when no module is bound or it could not start (the caller shows IDS_INIT_MODULE_FAILED).
    std::unique_ptr<Station> StartStation(const Job& job, StationOptions options, StationFrontEnd& frontEnd);

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
