#include "ledger/LedgerFile.h"

#include <chrono>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Another writer holds the lock for one read and one write; a holder that long is stuck.
constexpr auto kLockPatience = std::chrono::seconds(5);
constexpr auto kLockRetry = std::chrono::milliseconds(5);
// Pieces of the file read at a time: the memory catching up takes, whatever the file's size.
constexpr std::size_t kReadPiece = 1 << 20;

template <typename TryLock> bool WaitForLock(TryLock tryLock) {
    const auto giveUp = std::chrono::steady_clock::now() + kLockPatience;
    while (!tryLock()) {
        if (std::chrono::steady_clock::now() >= giveUp)
            return false;
        std::this_thread::sleep_for(kLockRetry);
    }
    return true;
}

#ifdef _WIN32
constexpr wchar_t kSeparators[] = L"\\/";

bool IsFolder(const LedgerPath& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void MakeFolder(const LedgerPath& path) {
    CreateDirectoryW(path.c_str(), nullptr);
}

class ReadHandle {
  public:
    explicit ReadHandle(const LedgerPath& path)
        : handle_(CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~ReadHandle() {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    ReadHandle(const ReadHandle&) = delete;
    ReadHandle& operator=(const ReadHandle&) = delete;
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};
#else
constexpr char kSeparators[] = "/";

bool IsFolder(const LedgerPath& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

void MakeFolder(const LedgerPath& path) {
    mkdir(path.c_str(), 0777);
}

class ReadHandle {
  public:
    explicit ReadHandle(const LedgerPath& path)
        : fd_(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {}
    ~ReadHandle() {
        if (fd_ >= 0)
            close(fd_);
    }
    ReadHandle(const ReadHandle&) = delete;
    ReadHandle& operator=(const ReadHandle&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};
#endif

} // namespace

LedgerPath JoinLedgerPath(const LedgerPath& folder, const std::string& asciiName) {
    LedgerPath path = folder;
    if (!path.empty() && LedgerPath(kSeparators).find(path.back()) == LedgerPath::npos)
        path += kSeparators[0];
    path.append(asciiName.begin(), asciiName.end());
    return path;
}

bool CreateLedgerFolders(const LedgerPath& folder) {
    if (folder.empty())
        return false;
    // Levels that exist or cannot be made (a drive, a network share) fail harmlessly; only
    // the outcome for the whole path counts.
    for (auto at = folder.find_first_of(kSeparators, 1); at != LedgerPath::npos;
         at = folder.find_first_of(kSeparators, at + 1))
        MakeFolder(folder.substr(0, at));
    MakeFolder(folder);
    return IsFolder(folder);
}

bool ReadLedgerFile(const LedgerPath& path, std::uint64_t offset, const LedgerPieceTake& take,
                    std::uint64_t& size) {
    ReadHandle file(path);
    std::string piece(kReadPiece, '\0');
#ifdef _WIN32
    LARGE_INTEGER length{};
    if (file.get() == INVALID_HANDLE_VALUE || GetFileType(file.get()) != FILE_TYPE_DISK ||
        !GetFileSizeEx(file.get(), &length))
        return false;
    size = static_cast<std::uint64_t>(length.QuadPart);
    if (size <= offset)
        return true;
    LARGE_INTEGER start{};
    start.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN))
        return false;
    std::uint64_t done = 0;
    for (DWORD got = 0;
         ReadFile(file.get(), &piece[0], static_cast<DWORD>(piece.size()), &got, nullptr) && got > 0;) {
        take(std::string_view(piece.data(), got));
        done += got;
    }
#else
    struct stat status {};
    if (file.get() < 0 || fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    size = static_cast<std::uint64_t>(status.st_size);
    if (size <= offset)
        return true;
    std::uint64_t done = 0;
    for (;;) {
        const ssize_t got = pread(file.get(), &piece[0], piece.size(), static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        take(std::string_view(piece.data(), static_cast<std::size_t>(got)));
        done += static_cast<std::size_t>(got);
    }
#endif
    // A file cut shorter or grown while being read: what was read is what it holds.
    size = offset + done;
    return true;
}

#ifdef _WIN32
AppendOnlyFile::AppendOnlyFile(const LedgerPath& path)
    : handle_(CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA | SYNCHRONIZE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                          nullptr)) {}

namespace {

// The append lock is one byte far beyond any day file's end, where nobody reads or writes.
OVERLAPPED LockRange() {
    OVERLAPPED range{};
    range.Offset = 0xFFFFFFF0;
    range.OffsetHigh = 0x7FFFFFFF;
    return range;
}

} // namespace

AppendOnlyFile::~AppendOnlyFile() {
    if (locked_) {
        OVERLAPPED range = LockRange();
        UnlockFileEx(handle_, 0, 1, 0, &range);
    }
    if (IsOpen())
        CloseHandle(handle_);
}

bool AppendOnlyFile::LockForAppend() {
    locked_ = locked_ || (IsOpen() && WaitForLock([this] {
                              OVERLAPPED range = LockRange();
                              return LockFileEx(handle_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY,
                                                0, 1, 0, &range) != FALSE;
                          }));
    return locked_;
}

bool AppendOnlyFile::IsOpen() const {
    return handle_ != INVALID_HANDLE_VALUE;
}

bool AppendOnlyFile::WriteDurably(const std::string& bytes) {
    if (!IsOpen())
        return false;
    // Offset all ones: at the end of the file, whoever appended last.
    OVERLAPPED atEnd{};
    atEnd.Offset = atEnd.OffsetHigh = 0xFFFFFFFF;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(bytes.size());
    return WriteFile(handle_, bytes.data(), size, &written, &atEnd) && written == size &&
           FlushFileBuffers(handle_);
}
#else
AppendOnlyFile::AppendOnlyFile(const LedgerPath& path)
    : fd_(open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666)) {}

AppendOnlyFile::~AppendOnlyFile() {
    if (IsOpen())
        close(fd_);
}

bool AppendOnlyFile::IsOpen() const {
    return fd_ >= 0;
}

bool AppendOnlyFile::LockForAppend() {
    // flock belongs to this open file, so two ledgers in one process exclude each other too.
    return IsOpen() && WaitForLock([this] { return flock(fd_, LOCK_EX | LOCK_NB) == 0; });
}

bool AppendOnlyFile::WriteDurably(const std::string& bytes) {
    if (!IsOpen())
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(fd_, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += static_cast<std::size_t>(wrote);
    }
    return fsync(fd_) == 0;
}
#endif
