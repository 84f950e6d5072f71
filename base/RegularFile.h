#pragma once
// Reading a file the operator named, which may be anything: a folder, a device that never
// ends, a pipe that never answers, a file far larger than its kind can be. Only a regular file
// is read, and never more than its kind's limit, so no input can hang or exhaust the program.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

enum class FileRead {
    kRead,       // the whole file, within the limit
    kMissing,    // nothing by that name
    kNotRegular, // a folder, a device, a pipe, a socket
    kTooLarge,   // larger than the limit
    kUnreadable, // no access, locked, a read error
};

// An open regular file; opening never blocks on a pipe or a device.
class RegularFile {
  public:
    explicit RegularFile(const std::filesystem::path& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // kRead when the file is open and a regular file.
    FileRead Status() const { return status_; }
    // The size when it was opened.
    std::uint64_t Size() const { return size_; }
    // Up to `capacity` bytes; 0 at the end. A read error sets Status() to kUnreadable.
    std::size_t Read(char* buffer, std::size_t capacity);

  private:
    FileRead status_ = FileRead::kUnreadable;
    std::uint64_t size_ = 0;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// The whole file when it is a regular file of at most `limit` bytes. `Bytes` is any
// container of char with append-like insert (std::string, a wiping vector).
template <class Bytes>
FileRead ReadRegularFile(const std::filesystem::path& path, std::size_t limit, Bytes& bytes) {
    RegularFile file(path);
    if (file.Status() != FileRead::kRead)
        return file.Status();
    if (file.Size() > limit)
        return FileRead::kTooLarge;
    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(file.Size()));
    char buffer[4096];
    // The file may grow while it is read: the limit holds for what is read, not what was seen.
    for (std::size_t got; (got = file.Read(buffer, sizeof buffer)) > 0;) {
        if (bytes.size() + got > limit)
            return FileRead::kTooLarge;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    volatile char* wipe = buffer; // the buffer may have held a secret
    for (std::size_t i = 0; i < sizeof buffer; ++i)
        wipe[i] = 0;
    return file.Status();
}

// Why a file was not read, as the operator reads it (UTF-8, Simplified Chinese), for a
// message that names the file before it: "不是普通文件", "超过上限 64 KB", …
std::string FileReadProblem(FileRead status, std::size_t limit);

// A limit in the words of FileReadProblem: "64 KB", "16 MB", "512 字节".
std::string LimitText(std::size_t limit);
