#pragma once
// Storage for secrets (PIN bytes, PIN texts, labels on their way to the module): every buffer
// is wiped before its memory goes back to the heap, on every path including reallocation.
#include <cstddef>
#include <new>
#include <string>
#include <vector>

void SecureWipe(void* data, std::size_t size);

template <class T> struct WipingAllocator {
    using value_type = T;
    WipingAllocator() = default;
    template <class U> WipingAllocator(const WipingAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return static_cast<T*>(::operator new(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept {
        SecureWipe(p, n * sizeof(T));
        ::operator delete(p);
    }
    template <class U> bool operator==(const WipingAllocator<U>&) const noexcept { return true; }
    template <class U> bool operator!=(const WipingAllocator<U>&) const noexcept { return false; }
};

// A counted byte string whose storage always ends with a zero byte after the last byte,
// so the module may receive data() as a NUL-terminated string together with size().
class SecureBytes {
  public:
    SecureBytes() : m_bytes(1, 0) {}
    SecureBytes(const void* data, std::size_t size);
    const unsigned char* data() const { return m_bytes.data(); }
    unsigned char* data() { return m_bytes.data(); }
    std::size_t size() const { return m_bytes.size() - 1; }
    bool empty() const { return size() == 0; }

  private:
    std::vector<unsigned char, WipingAllocator<unsigned char>> m_bytes;
};

// Wide text kept in wiped storage. A vector is used rather than a string so that short
// texts never sit in an inline buffer that no allocator sees.
class SecretText {
  public:
    SecretText() : m_chars(1, L'\0') {}
    SecretText(const wchar_t* text);
    SecretText(const std::wstring& text) : SecretText(text.c_str()) {}
    const wchar_t* c_str() const { return m_chars.data(); }
    std::size_t length() const { return m_chars.size() - 1; }

  private:
    std::vector<wchar_t, WipingAllocator<wchar_t>> m_chars;
};
