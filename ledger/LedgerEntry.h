#pragma once
// One line of the operator's ledger: a token handled by an initialisation attempt or an
// information query. Time, station and user are added by the ledger itself. There is no
// PIN here, in any form, on purpose.
#include <cstdint>
#include <optional>
#include <string>

enum class LedgerOperation { Wipe, Pki, Info };
enum class LedgerMode { Single, Batch, Station };
enum class LedgerOutcome { Success, Failure };

struct LedgerEntry {
    LedgerOperation operation = LedgerOperation::Info;
    LedgerMode mode = LedgerMode::Single;
    std::optional<unsigned long> slot;
    std::wstring serial;                    // as the information page shows it; empty when not read
    std::wstring cosVersion;                // as the information page shows it; empty when not read
    std::optional<std::uint8_t> typeBefore; // the record's hardware type byte, when read
    std::wstring label;                     // PKI initialisation only
    LedgerOutcome outcome = LedgerOutcome::Failure;
    unsigned long rv = 0; // the operation's CK_RV
    std::wstring message; // the status text shown
};

// Local wall-clock time with its offset from UTC.
struct LedgerTime {
    int year = 1970, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
    int utcOffsetMinutes = 0;
};
