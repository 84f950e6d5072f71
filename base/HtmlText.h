#pragma once
// Text on the pages the supervisor opens in a browser (the report, the PIN letters).
#include <string>

// The markup's own character as its entity ("&amp;"); null for any other character.
const char* HtmlEntity(char c);
// `raw` as page text: control characters, direction marks and bytes that are not UTF-8 shown as
// their escapes, then the markup's own characters as entities.
std::string HtmlText(const std::string& raw);
