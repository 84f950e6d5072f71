#pragma once
// Wide string of the window layer. Field texts pass through it, PINs among them, so its
// storage is wiped before it goes back to the heap, on every path including growth.
#include "base/SecureBuffer.h"

#include <windows.h>

#include <string>
#include <vector>

class CString {
  public:
    CString() : m_chars(1, L'\0') {}
    CString(const wchar_t* text);
    CString(const wchar_t* text, int length);
    CString(wchar_t ch, int repeat = 1);
    CString(const std::wstring& text) : CString(text.c_str(), static_cast<int>(text.size())) {}
    CString(const CString&) = default;
    CString(CString&& other) noexcept;
    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const wchar_t* text);
    CString& operator=(const std::wstring& text) { return *this = CString(text); }
    ~CString() = default;

    int GetLength() const { return static_cast<int>(m_chars.size() - 1); }
    bool IsEmpty() const { return GetLength() == 0; }
    void Empty();
    wchar_t GetAt(int index) const { return m_chars.at(static_cast<size_t>(index)); }
    wchar_t operator[](int index) const { return GetAt(index); }

    const wchar_t* GetString() const { return m_chars.data(); }
    operator const wchar_t*() const { return m_chars.data(); }
    // A copy in ordinary storage: only for texts that are not secret.
    std::wstring ToStdWString() const { return std::wstring(GetString(), static_cast<size_t>(GetLength())); }

    CString& operator+=(const CString& text) { return Append(text.GetString(), text.GetLength()); }
    CString& operator+=(const wchar_t* text);
    CString& operator+=(wchar_t ch) { return Append(&ch, 1); }

    // printf-style formatting with the Windows meaning of the conversions: %s takes a
    // wide string, %d an int. A failed format leaves the string empty.
    void Format(const wchar_t* format, ...);
    // Text of string-table entry `id` from the resource module; FALSE and empty when missing.
    BOOL LoadString(UINT id);

    int Compare(const wchar_t* text) const;
    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* text, int start = 0) const;
    CString Left(int count) const;
    CString Mid(int first, int count = -1) const;

    // Room for `minLength` characters plus the terminator, for APIs that write text in
    // place; ReleaseBuffer takes the length up to the first zero (or `length` when given).
    wchar_t* GetBuffer(int minLength);
    void ReleaseBuffer(int length = -1);

  private:
    CString& Append(const wchar_t* text, int length);

    std::vector<wchar_t, WipingAllocator<wchar_t>> m_chars;
};

CString operator+(const CString& left, const CString& right);
CString operator+(const CString& left, const wchar_t* right);
CString operator+(const wchar_t* left, const CString& right);

inline bool operator==(const CString& a, const CString& b) {
    return a.Compare(b) == 0;
}
inline bool operator==(const CString& a, const wchar_t* b) {
    return a.Compare(b) == 0;
}
inline bool operator==(const wchar_t* a, const CString& b) {
    return b.Compare(a) == 0;
}
inline bool operator!=(const CString& a, const CString& b) {
    return !(a == b);
}
inline bool operator!=(const CString& a, const wchar_t* b) {
    return !(a == b);
}
inline bool operator!=(const wchar_t* a, const CString& b) {
    return !(a == b);
}
inline bool operator<(const CString& a, const CString& b) {
    return a.Compare(b) < 0;
}
