#include "StandinHandle.h"

#include "base/OwnProgram.h"
#include "token/TokenModule.h"

#include <cctype>
#include <sstream>

std::wstring ProgramFolder() {
    std::wstring folder = OwnProgramFolder();
    if (!folder.empty())
        folder.pop_back();
    return folder;
}

#ifdef _WIN32
#define VANTOR_SEP L"\\"
#else
#define VANTOR_SEP L"/"
#endif

std::wstring StandinPath() {
    return ProgramFolder() + VANTOR_SEP VANTOR_TOKEN_MODULE_NAME;
}

std::wstring NoAuxStandinPath() {
    return ProgramFolder() + VANTOR_SEP L"variants" VANTOR_SEP L"noaux" VANTOR_SEP VANTOR_TOKEN_MODULE_NAME;
}

StandinHandle::StandinHandle(const std::wstring& path) {
    if (!m_library.Load(path))
        return;
    m_command = reinterpret_cast<Bench_Command_t>(m_library.Symbol("Bench_Command"));
    m_readJournal = reinterpret_cast<Bench_ReadJournal_t>(m_library.Symbol("Bench_ReadJournal"));
    m_query = reinterpret_cast<Bench_Query_t>(m_library.Symbol("Bench_Query"));
}

void StandinHandle::Fresh() {
    if (Query("initialized") == "1")
        Functions()->C_Finalize(nullptr);
    Command("reset");
}

std::vector<std::string> StandinHandle::Journal() const {
    std::string text(m_readJournal(nullptr, 0) + 1, '\0');
    text.resize(m_readJournal(&text[0], text.size()));
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string StandinHandle::Query(const std::string& query) const {
    std::string answer(m_query(query.c_str(), nullptr, 0) + 1, '\0');
    answer.resize(m_query(query.c_str(), &answer[0], answer.size()));
    return answer;
}

namespace {

// Calls one of the module's list getters by name; null when it is missing or refuses.
template <class List> List* FetchList(const ModuleLibrary& library, const char* getterName) {
    auto get = reinterpret_cast<CK_RV (*)(List**)>(library.Symbol(getterName));
    List* list = nullptr;
    if (get == nullptr || get(&list) != CKR_OK)
        return nullptr;
    return list;
}

} // namespace

CK_FUNCTION_LIST* StandinHandle::Functions() {
    return FetchList<CK_FUNCTION_LIST>(m_library, "C_GetFunctionList");
}

AUX_FUNCTION_LIST* StandinHandle::Aux() {
    return FetchList<AUX_FUNCTION_LIST>(m_library, "E_GetAuxFunctionList");
}

StandinHandle& SharedStandin() {
    static StandinHandle handle(StandinPath());
    return handle;
}

std::vector<std::string> CallsOf(const std::vector<std::string>& journal, const std::string& name) {
    std::vector<std::string> lines;
    for (const auto& line : journal) {
        if (line.compare(0, name.size() + 1, name + ' ') == 0)
            lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> CallNames(const std::vector<std::string>& journal) {
    std::vector<std::string> names;
    for (const auto& line : journal)
        names.push_back(line.substr(0, line.find(' ')));
    return names;
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
