#include "standin/Journal.h"

#include <algorithm>
#include <cstring>

void Journal::MirrorTo(const std::filesystem::path& file) {
    m_mirror = AppendFile(file, AppendFile::Open::CreateIfMissing);
}

void Journal::Append(std::string line) {
    if (m_mirror.IsOpen()) {
        line += '\n';
        m_mirror.Append(line.data(), line.size());
        line.pop_back();
    }
    if (m_lines.size() == kMaxLines)
        m_lines.pop_front();
    m_lines.push_back(std::move(line));
}

std::string Journal::Text() const {
    std::size_t length = 0;
    for (const auto& line : m_lines)
        length += line.size() + 1;
    std::string text;
    text.reserve(length);
    for (const auto& line : m_lines) {
        text += line;
        text += '\n';
    }
    return text;
}

std::size_t CopyOut(const std::string& text, char* buffer, std::size_t size) {
    if (buffer != nullptr && size > 0) {
        std::size_t n = std::min(text.size(), size - 1);
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return text.size();
}
