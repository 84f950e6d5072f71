#include "base/RegularFile.h"

#include "base/Language.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef _WIN32
RegularFile::RegularFile(const std::filesystem::path& path) {
    // A folder cannot be opened without FILE_FLAG_BACKUP_SEMANTICS; a device or a pipe can,
    // and is told apart by its type before anything is read.
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesW(path.c_str());
        status_ = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::kMissing
                  : attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
                      ? FileRead::kNotRegular
                      : FileRead::kUnreadable;
        return;
    }
    handle_ = file;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        status_ = FileRead::kNotRegular;
        return;
    }
    size_ = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    status_ = FileRead::kRead;
}

RegularFile::~RegularFile() {
    if (handle_ != nullptr)
        CloseHandle(handle_);
}

std::size_t RegularFile::Read(char* buffer, std::size_t capacity) {
    if (status_ != FileRead::kRead)
        return 0;
    DWORD got = 0;
    const DWORD want = capacity > 1u << 20 ? 1u << 20 : static_cast<DWORD>(capacity);
    if (!ReadFile(handle_, buffer, want, &got, nullptr)) {
        status_ = FileRead::kUnreadable;
        return 0;
    }
    return got;
}
#else
RegularFile::RegularFile(const std::filesystem::path& path) {
    // O_NONBLOCK: opening a FIFO nobody writes to would wait for ever.
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) {
        status_ = errno == ENOENT || errno == ENOTDIR ? FileRead::kMissing : FileRead::kUnreadable;
        return;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        status_ = FileRead::kUnreadable;
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        status_ = FileRead::kNotRegular;
        return;
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
    status_ = FileRead::kRead;
}

RegularFile::~RegularFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::size_t RegularFile::Read(char* buffer, std::size_t capacity) {
    if (status_ != FileRead::kRead)
        return 0;
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, capacity);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR) {
            status_ = FileRead::kUnreadable;
            return 0;
        }
    }
}
#endif

std::string LimitText(std::size_t limit) {
    if (limit >= (1u << 20) && limit % (1u << 20) == 0)
        return std::to_string(limit >> 20) + " MB";
    if (limit >= 1024 && limit % 1024 == 0)
        return std::to_string(limit >> 10) + " KB";
    return std::to_string(limit) + Localized(" 字节", " bytes");
}

std::string FileReadProblem(FileRead status, std::size_t limit) {
    switch (status) {
    case FileRead::kRead:
        return std::string();
    case FileRead::kMissing:
        return Localized("文件不存在", "the file does not exist");
    case FileRead::kNotRegular:
        return Localized("不是普通文件（文件夹、设备或管道）",
                         "not a regular file (a folder, a device or a pipe)");
    case FileRead::kTooLarge:
        return Localized("文件过大（上限 ", "the file is too large (limit ") + LimitText(limit) +
               Localized("）", ")");
    case FileRead::kUnreadable:
        break;
    }
    return Localized("无法读取", "cannot be read");
}
