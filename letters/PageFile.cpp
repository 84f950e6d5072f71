#include "letters/PageFile.h"

#ifdef _WIN32
#include <algorithm>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

#ifdef _WIN32

PageFileWrite WritePageFile(const fs::path& out, const PageBytes& page) {
    const DWORD attributes = GetFileAttributesW(out.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return PageFileWrite::kNotRegularFile;
    HANDLE file =
        CreateFileW(out.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return PageFileWrite::kNotWritten;
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return PageFileWrite::kNotRegularFile;
    }
    bool bWritten = true;
    for (std::size_t at = 0; bWritten && at < page.size();) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(page.size() - at, 1 << 20));
        bWritten = WriteFile(file, page.data() + at, chunk, &written, nullptr) && written > 0;
        at += written;
    }
    bWritten = FlushFileBuffers(file) && bWritten;
    return CloseHandle(file) && bWritten ? PageFileWrite::kWritten : PageFileWrite::kNotWritten;
}

#else

PageFileWrite WritePageFile(const fs::path& out, const PageBytes& page) {
    // Not blocking: a pipe nobody reads or a device is refused after opening, not waited on.
    const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW,
                        0600); // it holds PINs: the owner only
    if (fd < 0)
        return errno == EISDIR || errno == ENXIO || errno == ELOOP ? PageFileWrite::kNotRegularFile
                                                                   : PageFileWrite::kNotWritten;
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        return PageFileWrite::kNotRegularFile;
    }
    bool bWritten = ftruncate(fd, 0) == 0;
    for (std::size_t at = 0; bWritten && at < page.size();) {
        const ssize_t written = write(fd, page.data() + at, page.size() - at);
        if (written < 0 && errno == EINTR)
            continue;
        bWritten = written > 0;
        at += bWritten ? static_cast<std::size_t>(written) : 0;
    }
    bWritten = fsync(fd) == 0 && bWritten;
    return close(fd) == 0 && bWritten ? PageFileWrite::kWritten : PageFileWrite::kNotWritten;
}

#endif
