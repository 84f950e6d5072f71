// Escaping text from outside: never fails, the result is valid UTF-8 with no control byte,
// and valid text with no control character comes back unchanged.
#include "base/ShownText.h"

#include <cstdlib>
#include <string>

namespace {

// A C0 or DEL byte, a C1 control (C2 80..9F), a line or paragraph separator (E2 80 A8/A9) or a
// direction mark (U+200E/F, U+202A..E, U+2066..9).
bool HasControl(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        const auto after = i + 2 < text.size() ? static_cast<unsigned char>(text[i + 2]) : 0;
        if (c < 0x20 || c == 0x7F || (c == 0xC2 && next >= 0x80 && next <= 0x9F) ||
            (c == 0xE2 && next == 0x80 &&
             (after == 0x8E || after == 0x8F || (after >= 0xA8 && after <= 0xAE))) ||
            (c == 0xE2 && next == 0x81 && after >= 0xA6 && after <= 0xA9))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string shown = ShownText(text, 1 << 20);
    if (!IsValidUtf8(shown) || HasControl(shown))
        std::abort();
    if (IsValidUtf8(text) && !HasControl(text) && shown != text)
        std::abort();
    return 0;
}
