// Reading an opened envelope's content: never fails on any bytes, and whatever it accepts
// is written again and read back to the same fields.
#include "seal/PinEnvelope.h"

#include <cstdlib>
#include <cwchar>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const auto read = ReadEnvelopeContent(SecureBytes(data, size));
    if (!read)
        return 0;
    const auto again = ReadEnvelopeContent(EnvelopeContent(*read));
    if (!again || again->serial != read->serial || again->label != read->label ||
        again->holder != read->holder || again->time != read->time || again->station != read->station ||
        again->operatorName != read->operatorName ||
        std::wcscmp(again->userPin.c_str(), read->userPin.c_str()) != 0)
        std::abort();
    return 0;
}
