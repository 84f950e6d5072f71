#include "HeadlessBrowser.h"

#include <cstdlib>

bool HasChromium() {
    return std::system("command -v chromium > /dev/null") == 0;
}

int RunChromium(const std::filesystem::path& work, const std::string& what, const std::filesystem::path& page,
                const std::filesystem::path& output) {
    const std::string command =
        "chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
        "--disable-background-networking --disable-component-update --disable-sync --user-data-dir='" +
        (work / "profile").string() + "' " + what + " 'file://" + page.string() + "' > '" + output.string() +
        "' 2>/dev/null";
    return std::system(command.c_str());
}
