#include "seal/EnvelopeFile.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

enum class Created { kWritten, kExists, kFailed };

bool DigitsAndDashes(const std::string& text) {
    if (text.empty() || text.size() > 16)
        return false;
    for (char c : text) {
        if ((c < '0' || c > '9') && c != '-')
            return false;
    }
    return true;
}

#ifdef _WIN32
Created CreateNew(const std::filesystem::path& path, const std::vector<unsigned char>& der) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Created::kExists
                                                                           : Created::kFailed;
    }
    DWORD written = 0;
    const bool whole = WriteFile(file, der.data(), static_cast<DWORD>(der.size()), &written, nullptr) &&
                       written == der.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (!whole)
        DeleteFileW(path.c_str());
    return whole ? Created::kWritten : Created::kFailed;
}

void FlushFolder(const std::filesystem::path&) {} // NTFS keeps the entry with the flushed file
#else
Created CreateNew(const std::filesystem::path& path, const std::vector<unsigned char>& der) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return errno == EEXIST ? Created::kExists : Created::kFailed;
    bool whole = true;
    for (std::size_t done = 0; whole && done < der.size();) {
        const ssize_t got = ::write(fd, der.data() + done, der.size() - done);
        if (got > 0)
            done += static_cast<std::size_t>(got);
        else if (got < 0 && errno != EINTR)
            whole = false;
    }
    whole = whole && ::fsync(fd) == 0;
    whole = ::close(fd) == 0 && whole;
    if (!whole)
        ::unlink(path.c_str());
    return whole ? Created::kWritten : Created::kFailed;
}

// The new name itself reaches the disk only with its folder.
void FlushFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
#endif

} // namespace

std::string EnvelopeFileSerial(const std::string& serial) {
    std::string name;
    for (char c : serial.substr(0, 64)) {
        const bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                          c == '_' || c == '-';
        name.push_back(kept ? c : '_');
    }
    return name.empty() ? "unread" : name;
}

EnvelopeFileWritten WriteEnvelopeFile(const std::filesystem::path& ledgerFolder, const std::string& day,
                                      const std::string& serial, const std::string& hhmmss,
                                      const std::vector<unsigned char>& der) {
    EnvelopeFileWritten result;
    if (!DigitsAndDashes(day) || !DigitsAndDashes(hhmmss) || der.empty())
        return result;
    const std::filesystem::path folder = ledgerFolder / "pins" / day;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return result;
    const std::string stem = EnvelopeFileSerial(serial) + "-" + hhmmss;
    for (int copy = 1; copy <= 1000; ++copy) {
        const std::string name = stem + (copy == 1 ? std::string() : "-" + std::to_string(copy)) + ".der";
        const std::filesystem::path path = folder / name;
        const Created created = CreateNew(path, der);
        if (created == Created::kExists)
            continue;
        if (created == Created::kWritten) {
            FlushFolder(folder);
            result = EnvelopeFileWritten{true, "pins/" + day + "/" + name, path};
        }
        return result;
    }
    return result;
}

bool RemoveEnvelopeFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::remove(path, error) && !error;
}
