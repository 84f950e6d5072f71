// The bench controls tests and demonstrations use: commands, forced results, delays,
// queries, and the bench file other processes write to.
#include "StandinTest.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#include <unistd.h>
#endif

namespace {

// This test program's own bench file, named before the stand-in is first loaded.
std::filesystem::path BenchFilePath() {
    static const std::filesystem::path path = [] {
#ifdef _WIN32
        const auto id = GetCurrentProcessId();
#else
        const auto id = getpid();
#endif
        return std::filesystem::temp_directory_path() / ("vantor-bench-" + std::to_string(id) + ".txt");
    }();
    return path;
}

struct BenchFileEnvironment {
    BenchFileEnvironment() {
        std::ofstream(BenchFilePath(), std::ios::trunc).flush();
#ifdef _WIN32
        SetEnvironmentVariableW(L"VANTOR_BENCH_FILE", BenchFilePath().wstring().c_str());
#else
        setenv("VANTOR_BENCH_FILE", BenchFilePath().c_str(), 1);
#endif
    }
    ~BenchFileEnvironment() {
        std::error_code ignored;
        std::filesystem::remove(BenchFilePath(), ignored);
    }
} benchFileEnvironment;

void Append(const std::string& text) {
    std::ofstream file(BenchFilePath(), std::ios::app | std::ios::binary);
    file << text;
}

using Bench = StandinTest;

TEST_F(Bench, RefusedCommandsChangeNothing) {
    const char* refused[] = {
        "bogus",
        "insert",
        "insert 16",
        "insert 0 colour=red",
        "insert 0 so-max=3 so-left=4",
        "remove 64",
        "slots 0",
        "slots 65",
        "fail C_Bogus 6",
        "fail C_Finalize x",
        "delay C_Finalize",
        "reset now",
        "insert 0 type=",
        "insert 0 serial=0102",
    };
    for (const char* line : refused)
        EXPECT_NE(0, standin.Command(line)) << line;
    EXPECT_EQ("present=0", standin.Query("token 0"));
    Do("  # a comment\n\ninsert 0 # plugged in\r");
    EXPECT_EQ("1", standin.Fields("token 0")["present"]);
    // Several lines at once: every good one runs, the answer tells that one was refused.
    EXPECT_NE(0, standin.Command("insert 1\nbogus\ninsert 2"));
    EXPECT_EQ("1", standin.Fields("token 2")["present"]);
}

TEST_F(Bench, Queries) {
    Do("insert 0 type=blank\ninsert 1 so-max=9 user-max=3 user-left=2 label=Q public=10 private=20");
    EXPECT_EQ("present=1 type=4 so-left=0 user-left=0 so-max=0 user-max=0 label= public=0 private=0",
              standin.Query("token 0"));
    EXPECT_EQ("present=1 type=1 so-left=9 user-left=2 so-max=9 user-max=3 label=Q public=10 private=20",
              standin.Query("token 1"));
    EXPECT_EQ("present=0", standin.Query("token 15"));
    EXPECT_EQ("", standin.Query("token 16"));
    EXPECT_EQ("", standin.Query("token x"));
    EXPECT_EQ("", standin.Query("last-pki-record")); // none received yet
    EXPECT_EQ("", standin.Query("what"));
    EXPECT_EQ("0", standin.Query("initialized"));
}

TEST_F(Bench, DefaultBench) {
    Do("insert 5\ndefault");
    EXPECT_EQ("present=0", standin.Query("token 5"));
    EXPECT_EQ(
        "present=1 type=1 so-left=6 user-left=6 so-max=6 user-max=6 label=Orbel public=30000 private=15000",
        standin.Query("token 0"));
    Init();
    CK_BYTE pin[] = "tamsel";
    EXPECT_EQ(CKR_OK, aux->E_InitBlankToken(0, pin, 6));
}

TEST_F(Bench, ForcedResultOnceOrAlways) {
    Do("insert 0\nfail E_GetDeviceInfo 0x30\nfail C_GetSlotList 0xE0 always");
    Init();
    DEVICE_INFO info{};
    EXPECT_EQ(CK_RV{0x30}, aux->E_GetDeviceInfo(0, &info));
    EXPECT_EQ(0, info.byDeviceType); // a forced call does nothing
    EXPECT_EQ(CKR_OK, aux->E_GetDeviceInfo(0, &info));
    std::vector<CK_SLOT_ID> slots;
    EXPECT_EQ(CK_RV{0xE0}, List(slots));
    EXPECT_EQ(CK_RV{0xE0}, List(slots));
    EXPECT_EQ("C_GetSlotList present=1 count=10 rv=0x000000E0", standin.Journal().back());
    Do("clear-faults");
    EXPECT_EQ(CKR_OK, List(slots));
}

TEST_F(Bench, ForcedInitializeLeavesTheModuleUninitialised) {
    Do("fail C_Initialize 0x191 once");
    EXPECT_EQ(CKR_CRYPTOKI_ALREADY_INITIALIZED, f->C_Initialize(nullptr));
    EXPECT_EQ("0", standin.Query("initialized"));
    EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, f->C_Finalize(nullptr));
    Do("fail C_GetFunctionList 6\nfail E_GetAuxFunctionList 5");
    EXPECT_EQ(nullptr, standin.Functions());
    EXPECT_EQ(nullptr, standin.Aux());
    EXPECT_NE(nullptr, standin.Functions());
    const auto journal = standin.Journal();
    ASSERT_LE(3u, journal.size());
    EXPECT_EQ(
        (std::vector<std::string>{"C_GetFunctionList rv=0x00000006", "E_GetAuxFunctionList rv=0x00000005",
                                  "C_GetFunctionList rv=0x00000000"}),
        std::vector<std::string>(journal.end() - 3, journal.end()));
}

TEST_F(Bench, DelayedCallDoesNotHoldUpOthers) {
    Do("insert 0\ndelay E_GetDeviceInfo 3000");
    Init();
    DEVICE_INFO info{};
    auto slow = std::async(std::launch::async, [&] { return aux->E_GetDeviceInfo(0, &info); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    // Had the delayed call kept the module's lock while sleeping, this one would wait for it.
    std::vector<CK_SLOT_ID> slots;
    EXPECT_EQ(CKR_OK, List(slots));
    EXPECT_EQ(std::future_status::timeout, slow.wait_for(std::chrono::seconds(0)));
    EXPECT_EQ(CKR_OK, slow.get());
    auto names = CallNames(standin.Journal());
    EXPECT_EQ((std::vector<std::string>{"C_Initialize", "C_GetSlotList", "E_GetDeviceInfo"}), names);
}

TEST_F(Bench, JournalIsCopiedOutWhole) {
    Init();
    auto read = reinterpret_cast<Bench_ReadJournal_t>(standin.Symbol("Bench_ReadJournal"));
    const std::string line = "C_Initialize args=null rv=0x00000000\n";
    EXPECT_EQ(line.size(), read(nullptr, 0));
    char small[8];
    EXPECT_EQ(line.size(), read(small, sizeof small));
    EXPECT_EQ(line.substr(0, 7), small);
    Do("clear-journal");
    EXPECT_EQ(0u, read(small, sizeof small));
    EXPECT_STREQ("", small);
}

TEST_F(Bench, BenchFileLinesRunAtTheNextListing) {
    Init();
    std::vector<CK_SLOT_ID> slots;
    ASSERT_EQ(CKR_OK, List(slots));
    EXPECT_TRUE(slots.empty());

    Append("insert 4 type=blank\ninsert 6\nremove 6\nbogus line\ninsert 7 label=Half");
    EXPECT_EQ("present=0", standin.Query("token 4")); // nothing runs before the module looks
    ASSERT_EQ(CKR_OK, List(slots));
    EXPECT_EQ(std::vector<CK_SLOT_ID>{4}, slots); // the unfinished last line waits
    Append("way\n");
    CK_SLOT_ID slot = 0;
    ASSERT_EQ(CKR_OK, f->C_WaitForSlotEvent(CKF_DONT_BLOCK, &slot, nullptr)); // also a look at the file
    EXPECT_EQ(CK_SLOT_ID{4}, slot);
    EXPECT_EQ("Halfway", standin.Fields("token 7")["label"]);
    // Already run lines are not run again.
    Do("remove 4");
    ASSERT_EQ(CKR_OK, List(slots));
    EXPECT_EQ(std::vector<CK_SLOT_ID>{7}, slots);
}

TEST_F(Bench, ReplacedBenchFileRunsFromItsStart) {
    Init();
    std::vector<CK_SLOT_ID> slots;
    Append("insert 1\ninsert 2\ninsert 3\n");
    ASSERT_EQ(CKR_OK, List(slots));
    ASSERT_EQ(3u, slots.size());
    std::ofstream(BenchFilePath(), std::ios::trunc | std::ios::binary) << "reset\n";
    ASSERT_EQ(CKR_OK, List(slots));
    EXPECT_TRUE(slots.empty());
}

} // namespace
