#pragma once
// Which tokens a day file shows handled successfully, kept as 64-bit keys in a table of fixed
// size: a day of any length costs the same memory, and a table full of keys stops adding
// (a duplicate among the keys it could not take goes unnoticed, none is made up).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The key of an operation word and a serial field, from their SHA-256.
std::uint64_t SuccessKey(const std::string& operation, const std::string& serial);

class LedgerKeys {
  public:
    // `capacity`: the keys it holds at most. Its memory is taken at the first key.
    explicit LedgerKeys(std::size_t capacity) : capacity_(capacity) {}

    enum class Added { kNew, kPresent, kFull };
    Added Add(std::uint64_t key);
    bool Contains(std::uint64_t key) const;
    bool Full() const { return count_ == capacity_; }

  private:
    std::size_t capacity_;
    std::size_t count_ = 0;
    std::vector<std::uint64_t> slots_; // twice the capacity or more; 0 is an empty slot
};
