// A delivery's stock list is any file: no crash, a refusal shown to the operator carries no
// control character, and an accepted list holds only distinct serials of the accepted form.
#include "base/ShownText.h"
#include "stock/StockList.h"

#include <cstdint>
#include <cstdlib>
#include <set>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const StockList list = ParseStockList(bytes);
    if (!list.error.empty()) {
        if (ShownText(list.error, list.error.size()) != list.error)
            std::abort();
        return 0;
    }
    if (list.serials.empty())
        std::abort();
    std::set<std::string> keys;
    for (const std::string& serial : list.serials) {
        if (serial.empty() || serial.size() > 64 || !keys.insert(StockKey(serial)).second)
            std::abort();
        for (char c : serial)
            if (c <= ' ' || c >= 127 || c == ',' || c == ';' || c == '"')
                std::abort();
    }
    return 0;
}
