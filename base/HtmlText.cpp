#include "base/HtmlText.h"

#include "base/ShownText.h"

const char* HtmlEntity(char c) {
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    default:
        return nullptr;
    }
}

std::string HtmlText(const std::string& raw) {
    std::string out;
    for (char c : ShownText(raw, raw.size() * 6 + 8)) {
        const char* entity = HtmlEntity(c);
        if (entity != nullptr)
            out += entity;
        else
            out += c;
    }
    return out;
}
