#pragma once
// What a PKI initialisation gives one token of its own: the label the stock list holds for its
// serial, and, when the job asks for it, a random user PIN sealed to the supervisor's
// certificate in an envelope file under the ledger folder (pins/DATE/) that is on disk before
// the token is written to. One issuer serves one attempt.
#include "attempt/Job.h"
#include "attempt/StockGate.h"
#include "ledger/Ledger.h"
#include "token/TokenIssue.h"

#include <filesystem>
#include <optional>
#include <string>

class TokenIssuer {
  public:
    // `label`: the job's, for a token the list gives none. `ledger` gives the folder, the time,
    // the station and the operator of the envelope (null: no envelope can be written); `stock`
    // the list's holders and labels (null: none).
    TokenIssuer(RandomUserPin random, std::wstring label, const Ledger* ledger, const StockGate* stock)
        : m_random(std::move(random)), m_jobLabel(std::move(label)), m_ledger(ledger), m_stock(stock) {}

    TokenIssue IssueFor(const std::wstring& serial);
    // The token got its first serial: the envelope is sealed again under it, then the first
    // one removed. Should that fail, the first one stays and the ledger names it.
    void SerialAssigned(const std::wstring& serial);
    // The token was left alone before anything was written: its envelope is removed.
    void Withdraw();

    // The token's own label, when the stock list gave it one.
    const std::optional<std::wstring>& Label() const { return m_label; }
    // The envelope holding this token's PIN, relative to the ledger folder; empty: none.
    const std::wstring& EnvelopeName() const { return m_envelopeName; }

  private:
    bool Seal(const std::wstring& serial);

    const RandomUserPin m_random;
    const std::wstring m_jobLabel;
    const Ledger* m_ledger;
    const StockGate* m_stock;
    std::optional<std::wstring> m_label;
    std::wstring m_holder;
    std::optional<SecretText> m_pin;
    std::wstring m_envelopeName;
    std::filesystem::path m_envelopePath;
};
