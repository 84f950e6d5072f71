// A PIN's line as a file, a variable or a station child's standard input gives it: never
// fails; accepted only when it is non-empty valid UTF-8 without a control character (as
// ShownText would leave it unchanged); an accepted PIN reaches the token byte for byte and
// passes the check of decoded PINs too.
#include "base/ShownText.h"
#include "base/Utf8.h"
#include "cli/PinText.h"

#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::string text(bytes, size);
    const bool bAccepted = CheckPinBytes(bytes, size) == PinTextProblem::kNone;
    const bool bPlain = !text.empty() && IsValidUtf8(text) && ShownText(text, 1 << 20) == text;
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
