#include "FreedBytes.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <new>
#include <string_view>

namespace {

// Each block starts with its size, so delete knows how many bytes to copy.
constexpr std::size_t kHeader = 16;

std::mutex g_lock;
FreedBytes* g_recorder = nullptr;
thread_local bool t_inside = false; // the recorder's own frees are not recorded

} // namespace

void* operator new(std::size_t size) {
    void* block = std::malloc(size + kHeader);
    if (block == nullptr)
        throw std::bad_alloc();
    std::memcpy(block, &size, sizeof size);
    return static_cast<char*>(block) + kHeader;
}

void operator delete(void* p) noexcept {
    if (p == nullptr)
        return;
    char* block = static_cast<char*>(p) - kHeader;
    if (!t_inside) {
        t_inside = true;
        {
            std::lock_guard<std::mutex> lock(g_lock);
            if (g_recorder != nullptr) {
                std::size_t size = 0;
                std::memcpy(&size, block, sizeof size);
                g_recorder->Take(p, p, size);
            }
        }
        t_inside = false;
    }
    std::free(block);
}

void operator delete(void* p, std::size_t) noexcept {
    ::operator delete(p);
}

FreedBytes::FreedBytes() {
    std::lock_guard<std::mutex> lock(g_lock);
    g_recorder = this;
}

FreedBytes::~FreedBytes() {
    std::lock_guard<std::mutex> lock(g_lock);
    g_recorder = nullptr;
}

void FreedBytes::Take(const void* address, const void* bytes, std::size_t size) {
    m_blocks.emplace_back(reinterpret_cast<std::uintptr_t>(address),
                          std::string(static_cast<const char*>(bytes), size));
}

std::size_t FreedBytes::Blocks() const {
    std::lock_guard<std::mutex> lock(g_lock);
    return m_blocks.size();
}

int FreedBytes::Holding(const void* bytes, std::size_t size) const {
    // No copy of the wanted bytes on the heap: it would be recorded when freed.
    const std::string_view wanted(static_cast<const char*>(bytes), size);
    std::lock_guard<std::mutex> lock(g_lock);
    int count = 0;
    for (const auto& block : m_blocks)
        count += std::string_view(block.second).find(wanted) != std::string_view::npos;
    return count;
}

int FreedBytes::Holding(const char* text) const {
    return Holding(text, std::strlen(text));
}

int FreedBytes::Holding(const wchar_t* text) const {
    return Holding(text, std::wcslen(text) * sizeof(wchar_t));
}

std::string FreedBytes::Watched() const {
    std::lock_guard<std::mutex> lock(g_lock);
    for (auto block = m_blocks.rbegin(); block != m_blocks.rend(); ++block)
        if (block->first == m_watched)
            return block->second;
    return std::string();
}
