#include "win/WinString.h"
#include "win/ResourceHandle.h"

#include "base/ResourceText.h"

#include <cstdarg>
#include <cwchar>
#include <stdio.h>

namespace {
size_t Length(const wchar_t* text) {
    return text ? std::wcslen(text) : 0;
}
} // namespace

CString::CString(const wchar_t* text) : CString(text, static_cast<int>(Length(text))) {}

CString::CString(const wchar_t* text, int length) {
    size_t count = (text && length > 0) ? static_cast<size_t>(length) : 0;
    m_chars.reserve(count + 1);
    m_chars.assign(text, text + count);
    m_chars.push_back(L'\0');
}

CString::CString(wchar_t ch, int repeat) : m_chars(static_cast<size_t>(repeat > 0 ? repeat : 0), ch) {
    m_chars.push_back(L'\0');
}

CString::CString(CString&& other) noexcept : m_chars(std::move(other.m_chars)) {
    other.m_chars.assign(1, L'\0');
}

CString& CString::operator=(const CString& other) {
    if (this != &other) {
        // assign() may reuse the old block, which is then overwritten in place; a new block
        // comes from the wiping allocator, which wipes the old one when it is released.
        m_chars.assign(other.m_chars.begin(), other.m_chars.end());
    }
    return *this;
}

CString& CString::operator=(CString&& other) noexcept {
    if (this != &other) {
        std::swap(m_chars, other.m_chars);
        other.Empty();
    }
    return *this;
}

CString& CString::operator=(const wchar_t* text) {
    return *this = CString(text);
}

void CString::Empty() {
    // Wipe what stays allocated: clear() keeps the block for later use.
    SecureWipe(m_chars.data(), m_chars.size() * sizeof(wchar_t));
    m_chars.assign(1, L'\0');
}

CString& CString::operator+=(const wchar_t* text) {
    if (text == m_chars.data())
        return *this += CString(text);
    return Append(text, static_cast<int>(Length(text)));
}

CString& CString::Append(const wchar_t* text, int length) {
    if (length <= 0)
        return *this;
    std::vector<wchar_t, WipingAllocator<wchar_t>> joined;
    joined.reserve(m_chars.size() + static_cast<size_t>(length));
    joined.assign(m_chars.begin(), m_chars.end() - 1);
    joined.insert(joined.end(), text, text + length);
    joined.push_back(L'\0');
    m_chars.swap(joined);
    return *this;
}

void CString::Format(const wchar_t* format, ...) {
    Empty();
    if (format == nullptr)
        return;
    va_list args;
    va_start(args, format);
    va_list counting;
    va_copy(counting, args);
    // The msvcrt functions, not the C99 ones: %s of a wide format takes a wide string.
    int length = _vscwprintf(format, counting);
    va_end(counting);
    if (length > 0) {
        std::vector<wchar_t, WipingAllocator<wchar_t>> text(static_cast<size_t>(length) + 1, L'\0');
        int written = _vsnwprintf(text.data(), text.size(), format, args);
        if (written >= 0) {
            text.resize(static_cast<size_t>(written));
            text.push_back(L'\0');
            m_chars.swap(text);
        }
    }
    va_end(args);
}

BOOL CString::LoadString(UINT id) {
    const std::wstring text = ResourceString(AfxGetResourceHandle(), id);
    if (text.empty()) {
        Empty();
        return FALSE;
    }
    *this = CString(text.c_str(), static_cast<int>(text.size()));
    return TRUE;
}

int CString::Compare(const wchar_t* text) const {
    return std::wcscmp(GetString(), text ? text : L"");
}

int CString::Find(wchar_t ch, int start) const {
    for (int i = start < 0 ? 0 : start; i < GetLength(); ++i) {
        if (m_chars[static_cast<size_t>(i)] == ch)
            return i;
    }
    return -1;
}

int CString::Find(const wchar_t* text, int start) const {
    if (text == nullptr || start < 0 || start > GetLength())
        return -1;
    const wchar_t* found = std::wcsstr(GetString() + start, text);
    return found ? static_cast<int>(found - GetString()) : -1;
}

CString CString::Left(int count) const {
    return Mid(0, count);
}

CString CString::Mid(int first, int count) const {
    int length = GetLength();
    if (first < 0)
        first = 0;
    if (first > length)
        first = length;
    if (count < 0 || count > length - first)
        count = length - first;
    return CString(GetString() + first, count);
}

wchar_t* CString::GetBuffer(int minLength) {
    size_t needed = static_cast<size_t>(minLength > 0 ? minLength : 0) + 1;
    if (m_chars.size() < needed) {
        std::vector<wchar_t, WipingAllocator<wchar_t>> larger(needed, L'\0');
        std::copy(m_chars.begin(), m_chars.end(), larger.begin());
        m_chars.swap(larger);
    }
    return m_chars.data();
}

void CString::ReleaseBuffer(int length) {
    size_t end = 0;
    if (length >= 0 && static_cast<size_t>(length) < m_chars.size())
        end = static_cast<size_t>(length);
    else
        end = ::wcsnlen(m_chars.data(), m_chars.size());
    if (end < m_chars.size())
        SecureWipe(m_chars.data() + end, (m_chars.size() - end) * sizeof(wchar_t));
    m_chars.resize(end);
    m_chars.push_back(L'\0');
}

CString operator+(const CString& left, const CString& right) {
    CString joined(left);
    joined += right;
    return joined;
}

CString operator+(const CString& left, const wchar_t* right) {
    CString joined(left);
    joined += right;
    return joined;
}

CString operator+(const wchar_t* left, const CString& right) {
    CString joined(left);
    joined += right;
    return joined;
}
