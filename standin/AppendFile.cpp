#include "standin/AppendFile.h"

#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

#ifdef _WIN32

AppendFile::AppendFile(const std::filesystem::path& path, Open how) {
    // Append access alone: every write lands at the end, whoever else writes.
    HANDLE handle = CreateFileW(
        path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        how == Open::CreateIfMissing ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    m_handle = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

bool AppendFile::IsOpen() const {
    return m_handle != nullptr;
}

bool AppendFile::Append(const void* bytes, std::size_t size) {
    DWORD written = 0;
    return m_handle != nullptr && size <= MAXDWORD &&
           WriteFile(m_handle, bytes, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

void AppendFile::Close() {
    if (m_handle != nullptr)
        CloseHandle(m_handle);
    m_handle = nullptr;
}

AppendFile::AppendFile(AppendFile&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}

AppendFile& AppendFile::operator=(AppendFile&& other) noexcept {
    if (this != &other) {
        Close();
        m_handle = std::exchange(other.m_handle, nullptr);
    }
    return *this;
}

#else

AppendFile::AppendFile(const std::filesystem::path& path, Open how) {
    const int flags = O_WRONLY | O_APPEND | O_CLOEXEC | (how == Open::CreateIfMissing ? O_CREAT : 0);
    m_fd = ::open(path.c_str(), flags, 0644);
}

bool AppendFile::IsOpen() const {
    return m_fd >= 0;
}

bool AppendFile::Append(const void* bytes, std::size_t size) {
    if (m_fd < 0)
        return false;
    ssize_t written;
    do
        written = ::write(m_fd, bytes, size);
    while (written < 0 && errno == EINTR);
    return written >= 0 && static_cast<std::size_t>(written) == size;
}

void AppendFile::Close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

AppendFile::AppendFile(AppendFile&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

AppendFile& AppendFile::operator=(AppendFile&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

#endif

AppendFile::~AppendFile() {
    Close();
}
