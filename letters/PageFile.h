#pragma once
// Writing the letters' page: the named file only (a new one, or a regular file replaced), with
// no buffer of the runtime's in between that would keep the PINs, and flushed to the disk.
#include "letters/LetterPage.h"

#include <filesystem>

enum class PageFileWrite {
    kWritten,
    kNotRegularFile, // a folder, a device or a pipe bears the name: nothing was opened
    kNotWritten,
};

PageFileWrite WritePageFile(const std::filesystem::path& out, const PageBytes& page);
