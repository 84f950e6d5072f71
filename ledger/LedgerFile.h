#pragma once
// The ledger's file system access: wide paths and Win32 on Windows, POSIX elsewhere.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#ifdef _WIN32
using LedgerPath = std::wstring;
#else
using LedgerPath = std::string;
#endif

LedgerPath JoinLedgerPath(const LedgerPath& folder, const std::string& asciiName);

// Creates the folder and every missing level above it; true when it exists afterwards.
bool CreateLedgerFolders(const LedgerPath& folder);

using LedgerPieceTake = std::function<void(std::string_view)>;
// The file's bytes from offset to its end, in pieces of a fixed size to `take`, and its size
// (smaller than offset when the file was replaced meanwhile). False when it cannot be read or
// is no regular file (opening never waits on a pipe).
bool ReadLedgerFile(const LedgerPath& path, std::uint64_t offset, const LedgerPieceTake& take,
                    std::uint64_t& size);

// A file opened (created when missing) for appending only, others may read and append.
class AppendOnlyFile {
  public:
    explicit AppendOnlyFile(const LedgerPath& path);
    ~AppendOnlyFile();
    AppendOnlyFile(const AppendOnlyFile&) = delete;
    AppendOnlyFile& operator=(const AppendOnlyFile&) = delete;

    bool IsOpen() const;
    // Waits a few seconds at most for the file's append lock, which every writer of the
    // ledger takes (on any station) and which is released when the file is closed; false
    // when it cannot be had.
    bool LockForAppend();
    // One write at the end of the file, then flushed to the disk; true when both succeeded.
    bool WriteDurably(const std::string& bytes);

  private:
#ifdef _WIN32
    void* handle_;
    bool locked_ = false;
#else
    int fd_;
#endif
};
