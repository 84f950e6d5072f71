#pragma once
// Whether a page or message still holds Chinese: CJK ideographs and punctuation, full-width forms
// (UTF-8 lead bytes E3 to E9, and EF BC / EF BD).
#include <string>

inline bool HasCjk(const std::string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]), next = static_cast<unsigned char>(text[i + 1]);
        if ((lead >= 0xE3 && lead <= 0xE9) || (lead == 0xEF && (next == 0xBC || next == 0xBD)))
            return true;
    }
    return false;
}
