#pragma once
// Forced results and added delays, by entry point name.
#include "token/Pkcs11.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

class CallFaults {
  public:
    // Replaces any earlier forced result of that call; the next `skip` calls go through first.
    void Fail(const std::string& call, CK_RV result, bool always, unsigned skip = 0);
    // 0 removes the delay.
    void Delay(const std::string& call, std::uint32_t milliseconds);
    void Clear();
    // Changes with every Delay and Clear: a call sleeping in its delay ends the sleep then.
    std::uint64_t DelayChanges() const { return m_delayChanges; }

    struct Plan {
        std::uint32_t delayMs = 0;
        std::optional<CK_RV> forced; // the call answers this without doing anything
    };
    // What the next call of that name meets; a one-shot result is used up here.
    Plan Take(std::string_view call);

  private:
    struct Forced {
        CK_RV result;
        bool always;
        unsigned skip;
    };
    std::map<std::string, Forced, std::less<>> m_forced;
    std::map<std::string, std::uint32_t, std::less<>> m_delays;
    std::uint64_t m_delayChanges = 0;
};
