// The module's exported entry points. Every one catches everything: no exception crosses
// into the caller.
#include "standin/AuxTable.h"
#include "standin/BenchControl.h"
#include "standin/ModuleCall.h"
#include "standin/Pkcs11Table.h"

#ifdef _WIN32
#define VANTOR_STANDIN_EXPORT __declspec(dllexport)
#else
#define VANTOR_STANDIN_EXPORT __attribute__((visibility("default")))
#endif

namespace {

// What both list getters do: hand out one of the module's tables.
template <class List> CK_RV HandOut(const char* name, List** out, List* list) {
    return Guarded([&] {
        ModuleCall call(name);
        if (call.Forced())
            return call.Return(*call.Forced());
        if (out == nullptr)
            return call.Return(CKR_ARGUMENTS_BAD);
        *out = list;
        return call.Return(CKR_OK);
    });
}

} // namespace

extern "C" {

VANTOR_STANDIN_EXPORT CK_RV C_GetFunctionList(CK_FUNCTION_LIST_PTR_PTR list) {
    return HandOut("C_GetFunctionList", list, StandinFunctionList());
}

#ifndef VANTOR_STANDIN_NO_AUX
// The variant without it stands for a PKCS#11 module that lacks the vendor extension.
VANTOR_STANDIN_EXPORT CK_RV E_GetAuxFunctionList(AUX_FUNCTION_LIST_PTR_PTR list) {
    return HandOut("E_GetAuxFunctionList", list, StandinAuxFunctionList());
}
#endif

VANTOR_STANDIN_EXPORT int Bench_Command(const char* line) {
    try {
        if (line == nullptr)
            return 1;
        ModuleState& state = ModuleState::Instance();
        std::lock_guard<std::mutex> lock(state.Mutex());
        return state.RunCommands(line);
    } catch (...) {
        return 1;
    }
}

VANTOR_STANDIN_EXPORT size_t Bench_ReadJournal(char* buffer, size_t size) {
    try {
        ModuleState& state = ModuleState::Instance();
        std::string text;
        {
            std::lock_guard<std::mutex> lock(state.Mutex());
            text = state.JournalText();
        }
        return CopyOut(text, buffer, size);
    } catch (...) {
        return CopyOut(std::string(), buffer, size);
    }
}

VANTOR_STANDIN_EXPORT size_t Bench_Query(const char* query, char* buffer, size_t size) {
    try {
        ModuleState& state = ModuleState::Instance();
        std::string answer;
        if (query != nullptr) {
            std::lock_guard<std::mutex> lock(state.Mutex());
            state.PollBenchFile(); // what other processes did to the tokens counts
            answer = state.Query(query);
        }
        return CopyOut(answer, buffer, size);
    } catch (...) {
        return CopyOut(std::string(), buffer, size);
    }
}

} // extern "C"

// The exports must match the control interface's types.
static_assert(std::is_same_v<decltype(&Bench_Command), Bench_Command_t>, "Bench_Command signature");
static_assert(std::is_same_v<decltype(&Bench_ReadJournal), Bench_ReadJournal_t>,
              "Bench_ReadJournal signature");
static_assert(std::is_same_v<decltype(&Bench_Query), Bench_Query_t>, "Bench_Query signature");
