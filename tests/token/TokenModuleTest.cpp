// The binding's edge cases, with the stand-in's journal as the witness of which calls
// reached the module and which did not.
#include "StandinHandle.h"
#include "token/PkiInitParam.h"
#include "token/TokenModule.h"

#include <gtest/gtest.h>

namespace {

class RecordingSink : public ModuleMessageSink {
  public:
    void ShowModuleMessage(unsigned messageId) override { messages.push_back(messageId); }
    std::vector<unsigned> messages;
};

using Messages = std::vector<unsigned>;
using Names = std::vector<std::string>;

class Binding : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(standin.Ready());
        standin.Fresh(); // the same library instance serves every test of this program
    }
    void TearDown() override { standin.Fresh(); }

    std::vector<std::string> Journal() const { return standin.Journal(); }

    StandinHandle& standin = SharedStandin();
    RecordingSink sink;
};

TEST_F(Binding, BoundModuleIsFinalisedOnceThenNeverCalledAgain) {
    TokenModule module; // by its bare file name, as the program loads it
    ASSERT_EQ(CKR_OK, module.LoadTokenModule(sink));
    EXPECT_EQ(Messages(), sink.messages);
    EXPECT_TRUE(module.HasFunctionLists());
    EXPECT_EQ((Names{"C_GetFunctionList rv=0x00000000", "C_Initialize args=null rv=0x00000000",
                     "E_GetAuxFunctionList rv=0x00000000"}),
              Journal());

    standin.Command("insert 0");
    CK_SLOT_ID slots[10] = {};
    CK_ULONG count = 10;
    ASSERT_EQ(CKR_OK, module.GetSlotList(slots, &count));
    EXPECT_EQ("C_GetSlotList present=1 count=10 rv=0x00000000 found=1", Journal().back());

    module.UnloadTokenModule();
    const auto released = Journal();
    EXPECT_EQ("C_Finalize reserved=null rv=0x00000000", released.back());
    EXPECT_EQ(1u, CallsOf(released, "C_Finalize").size());
    EXPECT_EQ("0", standin.Query("initialized"));

    // After release the wrappers answer by themselves; nothing reaches the module.
    count = 10;
    EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, module.GetSlotList(slots, &count));
    CK_SLOT_ID slot = 0;
    EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, module.WaitForSlotEvent(CKF_DONT_BLOCK, &slot));
    DEVICE_INFO info{};
    EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, module.GetDeviceInfo(0, &info));
    const CK_BYTE pin[] = "tamsel";
    EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, module.InitBlankToken(0, pin, 6));
    PKI_INIT_PARAM record{};
    EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, module.InitPkiToken(0, &record));
    module.UnloadTokenModule();
    EXPECT_EQ(released, Journal());
}

TEST_F(Binding, MissingLibraryShows105AndReleasesNothing) {
    {
        TokenModule module(L"absent-" VANTOR_TOKEN_MODULE_NAME);
        EXPECT_EQ(CKR_FUNCTION_FAILED, module.LoadTokenModule(sink));
        EXPECT_EQ(Messages{105}, sink.messages);
        EXPECT_EQ(nullptr, module.m_hTokenModule);
        EXPECT_FALSE(module.HasFunctionLists());
        module.UnloadTokenModule();
    }
    EXPECT_EQ(Names(), Journal());
}

TEST_F(Binding, ModuleWithoutTheExtensionShows105AndIsNeverCalled) {
    StandinHandle noaux(NoAuxStandinPath());
    ASSERT_TRUE(noaux.Ready());
    noaux.Fresh();
    {
        TokenModule module(NoAuxStandinPath());
        EXPECT_EQ(CKR_FUNCTION_FAILED, module.LoadTokenModule(sink));
        EXPECT_EQ(Messages{105}, sink.messages);
        EXPECT_NE(nullptr, module.m_hTokenModule);
        EXPECT_EQ(nullptr, module.m_pFunctionList); // never fetched
        module.UnloadTokenModule();
    }
    EXPECT_EQ(Names(), noaux.Journal());
    EXPECT_EQ("0", noaux.Query("initialized"));
    EXPECT_EQ(Names(), Journal());
}

// Guards against a failed binding that leaves the module initialised, or finalises one it
// never initialised.
TEST_F(Binding, FailuresShow106AndFinaliseOnlyWhatWasInitialised) {
    const struct {
        const char* fault;
        Names calls;
    } rows[] = {
        {"fail C_Initialize 0x191", {"C_GetFunctionList", "C_Initialize", "C_Finalize"}},
        {"fail C_GetFunctionList 0x6", {"C_GetFunctionList"}},
        {"fail E_GetAuxFunctionList 0x5",
         {"C_GetFunctionList", "C_Initialize", "E_GetAuxFunctionList", "C_Finalize"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.fault);
        standin.Fresh();
        standin.Command(row.fault);
        sink.messages.clear();
        TokenModule module;
        EXPECT_EQ(CKR_FUNCTION_FAILED, module.LoadTokenModule(sink));
        EXPECT_EQ(Messages{106}, sink.messages);
        EXPECT_FALSE(module.HasFunctionLists());
        module.UnloadTokenModule();
        EXPECT_EQ(row.calls, CallNames(Journal()));
    }
}

#ifndef _WIN32
// A genuine PKCS#11 module without the vendor extension.
TEST(RealModule, SoftHsmWithoutTheExtensionShows105AndIsNotFinalised) {
    const char* softhsm = "/usr/lib/softhsm/libsofthsm2.so";
    ModuleLibrary own;
    ASSERT_TRUE(own.Load(L"/usr/lib/softhsm/libsofthsm2.so"))
        << softhsm << " is not installed: SoftHSM is the genuine module this test needs";
    char folder[] = "/tmp/vantor-softhsm-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    const std::string dir = folder;
    const std::string conf = dir + "/softhsm2.conf";
    ASSERT_EQ(0, system(("mkdir -p " + dir + "/tokens && printf 'directories.tokendir = " + dir +
                         "/tokens\\nobjectstore.backend = file\\nlog.level = ERROR\\n' > " + conf)
                            .c_str()));
    setenv("SOFTHSM2_CONF", conf.c_str(), 1);

    // Initialised by this test itself: had the binding finalised it, our C_Finalize would
    // find it no longer initialised.
    auto get = reinterpret_cast<CK_C_GetFunctionList>(own.Symbol("C_GetFunctionList"));
    ASSERT_NE(nullptr, get);
    CK_FUNCTION_LIST* list = nullptr;
    ASSERT_EQ(CKR_OK, get(&list));
    ASSERT_EQ(CKR_OK, list->C_Initialize(nullptr));

    RecordingSink sink;
    {
        TokenModule module(L"/usr/lib/softhsm/libsofthsm2.so");
        EXPECT_EQ(CKR_FUNCTION_FAILED, module.LoadTokenModule(sink));
        EXPECT_EQ(Messages{105}, sink.messages);
        EXPECT_EQ(nullptr, module.m_pFunctionList);
        module.UnloadTokenModule();
    }
    EXPECT_EQ(CKR_OK, list->C_Finalize(nullptr));
    unsetenv("SOFTHSM2_CONF");
    EXPECT_EQ(0, system(("rm -rf " + dir).c_str()));
}
#endif

} // namespace
