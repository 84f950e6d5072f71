// A PIN's line as a file, a variable or a station child's standard input gives it: never
// fails; accepted only when it is non-empty valid UTF-8 without a control character (as
// ShownText would leave it unchanged, direction marks aside: a PIN may hold them); an
// accepted PIN reaches the token byte for byte and passes the check of decoded PINs too.
#include "base/ShownText.h"
#include "base/Utf8.h"
#include "cli/PinText.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The text without its direction marks; invalid UTF-8 as it is.
std::string WithoutDirectionMarks(const std::string& text) {
    std::string kept;
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = 0;
        const std::size_t length =
            std::max<std::size_t>(1, Utf8SequenceLength(text.data() + i, text.size() - i, code));
        if (length == 1 || !IsDirectionMark(code))
            kept.append(text, i, length);
        i += length;
    }
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::string text(bytes, size);
    const bool bAccepted = CheckPinBytes(bytes, size) == PinTextProblem::kNone;
    const std::string marksAside = WithoutDirectionMarks(text);
    const bool bPlain = !text.empty() && IsValidUtf8(text) && ShownText(marksAside, 1 << 20) == marksAside;
    if (bAccepted != bPlain)
        std::abort();
    if (!bAccepted)
        return 0;
    const SecretText pin = Utf8ToSecret(bytes, size);
    const SecureBytes sent = SecretToUtf8(pin);
    if (CheckPinText(pin) != PinTextProblem::kNone || sent.size() != size ||
        std::memcmp(sent.data(), bytes, size) != 0)
        std::abort();
    return 0;
}
