#pragma once
// A folder of the test's own under /tmp, with a ledger folder inside, removed with everything
// in it when the test ends (natively).
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

class ScratchFolder {
  public:
    // `name`: what the folder's name starts with, to tell whose it is.
    explicit ScratchFolder(const std::string& name) {
        std::string pattern = "/tmp/" + name + "-XXXXXX";
        root = mkdtemp(pattern.data()) ? pattern : "/tmp/" + name + "-failed";
        ledger = root / "ledger";
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::filesystem::path root, ledger;
};
