// Another process using the stand-in beside it, for the tests of several processes sharing one
// bench file (and journal file). One job per run, its outcome on standard output:
//   init <slot>     PKI-initialises the token (SO PIN "child-so", user PIN "7 77", label
//                   "Child"); prints "held" while the call is held inside the module, then "rv=<n>"
//   token <slot>    prints the answer to the query "token <slot>"
//   calls <n>       n calls of C_GetSlotList
#include "StandinTest.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>

namespace {

int Init(StandinHandle& standin, CK_SLOT_ID slot) {
    PkiRequest request("Child");
    request.soPin = "child-so";
    request.userPin = "7 77"; // a space: the state line must carry any byte
    AUX_FUNCTION_LIST* aux = standin.Aux();
    auto call = std::async(std::launch::async, [&] { return aux->E_InitPkiToken(slot, request.Record()); });
    bool shown = false;
    while (call.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        if (!shown && standin.Query("held") == "1") {
            std::printf("held\n");
            std::fflush(stdout);
            shown = true;
        }
    }
    const CK_RV rv = call.get();
    std::printf("rv=%lu\n", static_cast<unsigned long>(rv));
    return rv == CKR_OK ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    StandinHandle standin(StandinPath());
    const std::string job = argv[1];
    const unsigned long number = std::strtoul(argv[2], nullptr, 10);
    if (!standin.Ready() || standin.Functions()->C_Initialize(nullptr) != CKR_OK)
        return 2;
    int code = 2;
    if (job == "init") {
        code = Init(standin, number);
    } else if (job == "token") {
        std::printf("%s\n", standin.Query("token " + std::to_string(number)).c_str());
        code = 0;
    } else if (job == "calls") {
        code = 0;
        for (unsigned long i = 0; i < number; ++i) {
            CK_ULONG count = 0;
            if (standin.Functions()->C_GetSlotList(CK_TRUE, nullptr, &count) != CKR_OK)
                code = 1;
        }
    }
    standin.Functions()->C_Finalize(nullptr);
    return code;
}
