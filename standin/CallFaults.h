#pragma once
// Forced results, added delays and hangs, by entry point name; delays and hangs optionally
// only for the calls on one slot or one token.
#include "standin/BenchCommand.h"
#include "token/Pkcs11.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a call works on, as far as a filter can tell: no slot for slot-less calls, no serial
// when the slot is empty.
struct CallTarget {
    std::optional<CK_SLOT_ID> slot;
    std::optional<std::array<std::uint8_t, 8>> serial;
};

class CallFaults {
  public:
    // Replaces any earlier forced result of that call; the next `skip` calls go through first.
    void Fail(const std::string& call, CK_RV result, bool always, unsigned skip = 0);
    // Replaces the delay or hang of that call and filter; 0 removes it.
    void Delay(const std::string& call, std::uint32_t milliseconds, const TokenFilter& filter = {});
    void Hang(const std::string& call, const TokenFilter& filter = {});
    void Clear();

    struct Hold {
        std::uint64_t rule = 0; // identifies the delay or hang; 0: none
        bool forever = false;
        std::uint32_t milliseconds = 0;
    };
    struct Plan {
        Hold hold;
        std::optional<CK_RV> forced; // the call answers this without doing anything
    };
    // What the next call of that name meets; a one-shot result is used up here.
    Plan Take(std::string_view call, const CallTarget& target);
    // The delay or hang such a call meets now, the most specific one (serial, then slot,
    // then none). A held call leaves once this is no longer the rule it started under.
    Hold HoldFor(std::string_view call, const CallTarget& target) const;

  private:
    struct Forced {
        CK_RV result;
        bool always;
        unsigned skip;
    };
    struct HoldRule {
        std::string call;
        TokenFilter filter;
        Hold hold;
    };
    void SetHold(const std::string& call, const TokenFilter& filter, std::optional<Hold> hold);

    std::map<std::string, Forced, std::less<>> m_forced;
    std::vector<HoldRule> m_holds;
    std::uint64_t m_lastRule = 0;
};
