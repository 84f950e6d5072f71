#include "ledger/LedgerKeys.h"

#include "ledger/LedgerHash.h"

namespace {

std::size_t Slot(std::uint64_t key, std::size_t size) {
    return static_cast<std::size_t>(key ^ (key >> 29)) & (size - 1);
}

// An empty slot is 0, so no key is.
std::uint64_t Stored(std::uint64_t key) {
    return key == 0 ? 1 : key;
}

} // namespace

std::uint64_t SuccessKey(const std::string& operation, const std::string& serial) {
    const std::string hex = Sha256Hex({operation, "\n", serial});
    return hex.size() < 16 ? 0 : std::stoull(hex.substr(0, 16), nullptr, 16);
}

LedgerKeys::Added LedgerKeys::Add(std::uint64_t key) {
    key = Stored(key);
    if (slots_.empty()) {
        std::size_t size = 2;
        while (size < 2 * capacity_)
            size *= 2;
        slots_.assign(size, 0);
    }
    for (std::size_t at = Slot(key, slots_.size());; at = (at + 1) & (slots_.size() - 1)) {
        if (slots_[at] == key)
            return Added::kPresent;
        if (slots_[at] == 0) {
            if (Full())
                return Added::kFull;
            slots_[at] = key;
            ++count_;
            return Added::kNew;
        }
    }
}

bool LedgerKeys::Contains(std::uint64_t key) const {
    key = Stored(key);
    if (slots_.empty())
        return false;
    for (std::size_t at = Slot(key, slots_.size()); slots_[at] != 0; at = (at + 1) & (slots_.size() - 1))
        if (slots_[at] == key)
            return true;
    return false;
}
