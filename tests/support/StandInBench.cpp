#include "StandInBench.h"

#include <sstream>

StandInBench::~StandInBench() {
    Unbind();
}

bool StandInBench::Bind() {
    Unbind();
    m_module = std::make_unique<TokenModule>(StandinPath());
    if (m_module->LoadTokenModule(*this) != CKR_OK || !m_messages.empty()) {
        m_error = "binding the stand-in failed";
        return false;
    }
    m_controls = std::make_unique<StandinHandle>(StandinPath());
    if (!m_controls->Ready()) {
        m_error = "the stand-in lacks its bench controls";
        return false;
    }
    if (!Command("reset")) {
        m_error = "the stand-in refused reset";
        return false;
    }
    return true;
}

void StandInBench::Unbind() {
    if (m_module)
        m_module->UnloadTokenModule();
    m_controls.reset();
    m_module.reset();
}

bool StandInBench::Command(const std::string& lines) {
    // All lines in one call: the module runs them under its lock, so no call in between sees
    // half of the change (a token pulled but not yet plugged in again).
    if (m_controls->Command(lines) == 0)
        return true;
    m_error = "refused: " + lines;
    return false;
}

std::vector<JournalCall> StandInBench::Journal() const {
    std::vector<JournalCall> calls;
    for (const std::string& line : m_controls->Journal()) {
        std::istringstream words(line);
        JournalCall call;
        if (!(words >> call.name))
            continue;
        std::string rest;
        std::getline(words, rest);
        call.args = ParseFields(rest);
        calls.push_back(std::move(call));
    }
    return calls;
}

std::vector<std::string> StandInBench::Calls() const {
    std::vector<std::string> names;
    for (const JournalCall& call : Journal())
        names.push_back(call.name);
    return names;
}

std::map<std::string, std::string> StandInBench::Query(const std::string& query) const {
    return ParseFields(m_controls->Query(query));
}
