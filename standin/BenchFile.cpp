#include "standin/BenchFile.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#include <dlfcn.h>
#endif

namespace {

#ifdef _WIN32
std::filesystem::path ModuleFolder() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&ModuleFolder), &module))
        return {};
    wchar_t name[MAX_PATH];
    DWORD length = GetModuleFileNameW(module, name, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return {};
    return std::filesystem::path(std::wstring(name, length)).parent_path();
}

std::filesystem::path FromEnvironment(const wchar_t* name) {
    wchar_t value[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::filesystem::path(std::wstring(value, length));
}
#else
std::filesystem::path ModuleFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModuleFolder), &info) == 0 || info.dli_fname == nullptr)
        return {};
    return std::filesystem::path(info.dli_fname).parent_path();
}

std::filesystem::path FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}
#endif

} // namespace

#ifdef _WIN32
#define VANTOR_ENV_NAME(name) L##name
#else
#define VANTOR_ENV_NAME(name) name
#endif

std::filesystem::path LocateJournalFile() {
    return FromEnvironment(VANTOR_ENV_NAME("VANTOR_JOURNAL_FILE"));
}

std::filesystem::path LocateBenchFile() {
    std::filesystem::path path = FromEnvironment(VANTOR_ENV_NAME("VANTOR_BENCH_FILE"));
    if (!path.empty())
        return path;
    return ModuleFolder() / kBenchFileName;
}

std::vector<std::string> BenchFileWatcher::TakeNewLines() {
    std::vector<std::string> lines;
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(m_path, error);
    m_present = !error;
    if (error)
        return lines; // no file (yet): nothing to run
    if (size < m_offset)
        m_offset = 0;
    if (size == m_offset)
        return lines;

    std::ifstream file(m_path, std::ios::binary);
    if (!file)
        return lines;
    file.seekg(static_cast<std::streamoff>(m_offset));
    std::string chunk(static_cast<std::size_t>(std::min(size - m_offset, kMaxReadPerCall)), '\0');
    file.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    chunk.resize(static_cast<std::size_t>(file.gcount()));

    std::size_t complete = chunk.rfind('\n');
    if (complete == std::string::npos) {
        // A "line" that fills a whole read is no command; skip it rather than stall on it.
        if (chunk.size() == kMaxReadPerCall)
            m_offset += chunk.size();
        return lines;
    }
    chunk.resize(complete + 1);
    m_offset += chunk.size();
    std::size_t start = 0;
    while (start < chunk.size()) {
        std::size_t end = chunk.find('\n', start);
        lines.push_back(chunk.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}
