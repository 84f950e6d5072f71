// A station reads its children's result lines: any bytes, no crash, and whatever is accepted
// is written again as a line that reads the same.
#include "attempt/AttemptResultLine.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<AttemptResult> result =
        DecodeAttemptResultLine(std::string(reinterpret_cast<const char*>(data), size));
    if (!result)
        return 0;
    const std::string line = EncodeAttemptResultLine(*result);
    const std::optional<AttemptResult> again = DecodeAttemptResultLine(line);
    if (!again || EncodeAttemptResultLine(*again) != line)
        std::abort();
    return 0;
}
