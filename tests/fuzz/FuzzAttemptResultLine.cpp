// A station reads its children's result lines: any bytes, no crash, and whatever is accepted
// reads the same after being written again.
#include "attempt/AttemptResultLine.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<AttemptResult> result =
        DecodeAttemptResultLine(std::string(reinterpret_cast<const char*>(data), size));
    if (result && DecodeAttemptResultLine(EncodeAttemptResultLine(*result))->strSerial != result->strSerial)
        std::abort();
    return 0;
}
