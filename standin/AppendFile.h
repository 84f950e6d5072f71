#pragma once
// A file that several processes append lines to at once: each line goes out in one write at
// the file's end (O_APPEND / FILE_APPEND_DATA), so lines never interleave nor overwrite
// each other.
#include <cstddef>
#include <filesystem>

class AppendFile {
  public:
    enum class Open { CreateIfMissing, OnlyIfExists };

    AppendFile() = default;
    AppendFile(const std::filesystem::path& path, Open how);
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;
    AppendFile(AppendFile&& other) noexcept;
    AppendFile& operator=(AppendFile&& other) noexcept;

    bool IsOpen() const;
    // The bytes as one write at the end of the file; false when not all were written.
    bool Append(const void* bytes, std::size_t size);

  private:
    void Close();

#ifdef _WIN32
    void* m_handle = nullptr; // a HANDLE; null when not open
#else
    int m_fd = -1;
#endif
};
