#pragma once
// A page the program wrote, opened in a real browser (headless Chromium, natively) with a
// profile of its own and nothing fetched from the network.
#include <filesystem>
#include <string>

// Whether chromium is on the PATH (Debian package chromium, installed by scripts/setup.sh).
bool HasChromium();

// Chromium's exit code for `page` with the options `what` (--dump-dom, --print-to-pdf=…,
// --screenshot=…); its standard output goes to `output`, its chatter nowhere. The profile is
// made in `work`.
int RunChromium(const std::filesystem::path& work, const std::string& what, const std::filesystem::path& page,
                const std::filesystem::path& output);
