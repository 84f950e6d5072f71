#include "StandInBench.h"

#include <cctype>
#include <sstream>

namespace {

std::wstring StandInFileName() {
#ifdef VANTOR_STANDIN_PATH
    const std::string path = VANTOR_STANDIN_PATH; // full path of the native build's module
    return std::wstring(path.begin(), path.end());
#else
    return VANTOR_TOKEN_MODULE_NAME; // the DLL beside the test program
#endif
}

// Reads a text the stand-in copies out, growing the buffer until it fits.
template <class Read> std::string ReadText(Read read) {
    std::string text(4096, '\0');
    for (;;) {
        std::size_t length = read(&text[0], text.size());
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.assign(length + 1, '\0');
    }
}

} // namespace

StandInBench::~StandInBench() {
    Unbind();
}

bool StandInBench::Bind() {
    Unbind();
    m_module = std::make_unique<TokenModule>(StandInFileName());
    if (m_module->LoadTokenModule(*this) != CKR_OK || !m_messages.empty()) {
        m_error = "binding the stand-in failed";
        return false;
    }
    m_controls.Load(StandInFileName());
    m_command = reinterpret_cast<Bench_Command_t>(m_controls.Symbol("Bench_Command"));
    m_readJournal = reinterpret_cast<Bench_ReadJournal_t>(m_controls.Symbol("Bench_ReadJournal"));
    m_query = reinterpret_cast<Bench_Query_t>(m_controls.Symbol("Bench_Query"));
    if (m_command == nullptr || m_readJournal == nullptr || m_query == nullptr) {
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
    m_command = nullptr;
    m_readJournal = nullptr;
    m_query = nullptr;
    m_controls.Free();
    m_module.reset();
}

bool StandInBench::Command(const std::string& lines) {
    // All lines in one call: the module runs them under its lock, so no call in between sees
    // half of the change (a token pulled but not yet plugged in again).
    if (m_command(lines.c_str()) == 0)
        return true;
    m_error = "refused: " + lines;
    return false;
}

std::vector<JournalCall> StandInBench::Journal() const {
    const std::string text =
        ReadText([this](char* buffer, std::size_t size) { return m_readJournal(buffer, size); });
    std::vector<JournalCall> calls;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
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
    return ParseFields(
        ReadText([&](char* buffer, std::size_t size) { return m_query(query.c_str(), buffer, size); }));
}

std::map<std::string, std::string> ParseFields(const std::string& line) {
    std::map<std::string, std::string> fields;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
        std::size_t equals = word.find('=');
        if (equals != std::string::npos)
            fields[word.substr(0, equals)] = word.substr(equals + 1);
    }
    return fields;
}

std::vector<unsigned char> ParseHex(const std::string& hex) {
    std::vector<unsigned char> bytes;
    if (hex.size() % 2 != 0)
        return bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        if (!std::isxdigit(static_cast<unsigned char>(hex[i])) ||
            !std::isxdigit(static_cast<unsigned char>(hex[i + 1])))
            return {};
        bytes.push_back(static_cast<unsigned char>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}
