#pragma once
// What to do to a token: the operation and every value it takes, the PINs in wiped storage. A
// front end makes one from its fields or options; the workbench runs it as a single attempt, a
// batch or a station, and a station's child receives it through the job codec.
#include "ledger/LedgerEntry.h"
#include "pki/PkiInitRecord.h"
#include "seal/SealCertificate.h"
#include "token/AttemptProgress.h"
#include "token/AttemptResult.h"
#include "token/TokenModule.h"

#include <cstddef>
#include <memory>
#include <string>

// A PKI initialisation that gives each token a user PIN of its own, drawn at random and sealed
// to the supervisor's certificate before the token is written to, instead of the typed one.
struct RandomUserPin {
    std::size_t length = 0; // digits; 0: every token gets the typed user PIN
    std::shared_ptr<const SealCertificate> certificate;
};

enum class JobOperation { Wipe, Pki };

struct Job {
    JobOperation operation = JobOperation::Wipe;
    SecretText soPin;  // wipe: the token's current SO PIN
    PkiInitParams pki; // PKI initialisation: every value, the PINs included
    // PKI initialisation: the retry limits and area sizes are the job's to set. A module
    // without the vendor extension sets none: a job for it says so and keeps the defaults.
    bool bSetsLimits = true;
    RandomUserPin randomUserPin; // PKI initialisation

    bool IsPki() const { return operation == JobOperation::Pki; }
    // The ledger's operation column and, for a PKI initialisation, its label column.
    LedgerOperation Recorded() const { return IsPki() ? LedgerOperation::Pki : LedgerOperation::Wipe; }
    std::wstring Label() const { return IsPki() ? pki.strLabel : std::wstring(); }
};

// One attempt of `job` on the single present token of `module` (null: not bound). `bBatch`:
// part of a run, where the SO PIN's final try is never spent.
AttemptResult DoJob(TokenModule* module, const Job& job, bool bBatch, AttemptProgress& progress);

// What is wrong with the job's PINs as a page or the console checks them before any module
// call (pki/PkiProfile.h); empty when they may be sent. A random user PIN is drawn within the
// limits token by token, so then only the SO PIN is checked.
std::wstring CheckJobPins(const Job& job);
