#include "station/AttemptChild.h"

bool AttemptChild::TakeLine(std::string& line) {
    const std::size_t end = m_pending.find('\n');
    if (end == std::string::npos)
        return false;
    line = m_pending.substr(0, end);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    m_pending.erase(0, end + 1);
    return true;
}
