// The standard calls, as the program and ordinary PKCS#11 clients rely on them.
#include "StandinTest.h"

namespace {

using Pkcs11 = StandinTest;

// Guards against calls the module does not implement answering as if they worked, or before initialisation.
TEST_F(Pkcs11, UnusedCallsAnswerLikeAConformingModule) {
    CK_OBJECT_HANDLE object = 0;
    EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, f->C_SeedRandom(1, nullptr, 0));
    EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, f->C_CreateObject(1, nullptr, 0, &object));
    EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, f->C_CancelFunction(1));
    Init();
    EXPECT_EQ(CKR_FUNCTION_NOT_SUPPORTED, f->C_SeedRandom(1, nullptr, 0));
    EXPECT_EQ(CKR_FUNCTION_NOT_PARALLEL, f->C_GetFunctionStatus(1));
    EXPECT_EQ(CKR_FUNCTION_NOT_PARALLEL, f->C_CancelFunction(1));
    auto journal = standin.Journal();
    ASSERT_EQ(7u, journal.size());
    EXPECT_EQ("C_SeedRandom rv=0x00000054", journal[4]);
    EXPECT_EQ("C_CancelFunction rv=0x00000051", journal[6]);
}

// Guards against calls served while the module is not initialised.
TEST_F(Pkcs11, CallsBeforeInitialiseAndAfterFinalise) {
    Do("insert 0");
    auto notInitialised = [&] {
        CK_ULONG count = 10;
        CK_SLOT_ID slots[10] = {};
        EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, f->C_GetSlotList(CK_TRUE, slots, &count));
        CK_INFO info;
        EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, f->C_GetInfo(&info));
        CK_SLOT_INFO slotInfo;
        EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, f->C_GetSlotInfo(0, &slotInfo));
        CK_TOKEN_INFO tokenInfo;
        EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, f->C_GetTokenInfo(0, &tokenInfo));
        CK_SLOT_ID slot = 0;
        EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, f->C_WaitForSlotEvent(CKF_DONT_BLOCK, &slot, nullptr));
        DEVICE_INFO device{};
        EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, aux->E_GetDeviceInfo(0, &device));
        CK_BYTE pin[] = "tamsel";
        EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, aux->E_InitBlankToken(0, pin, 6));
        PkiRequest request;
        EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, aux->E_InitPkiToken(0, request.Record()));
        EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, f->C_Finalize(nullptr));
    };
    notInitialised();
    EXPECT_EQ("0", standin.Query("initialized"));

    Init();
    EXPECT_EQ("1", standin.Query("initialized"));
    EXPECT_EQ(CKR_CRYPTOKI_ALREADY_INITIALIZED, f->C_Initialize(nullptr));
    int reserved = 0;
    EXPECT_EQ(CKR_ARGUMENTS_BAD, f->C_Finalize(&reserved));
    EXPECT_EQ(CKR_OK, f->C_Finalize(nullptr));
    notInitialised();
    // Finalised modules can be initialised again.
    Init();
}

// Guards against listing slots without tokens, or in another order, as the program's count relies on it.
TEST_F(Pkcs11, SlotListOfPresentTokens) {
    Init();
    std::vector<CK_SLOT_ID> slots;
    ASSERT_EQ(CKR_OK, List(slots));
    EXPECT_TRUE(slots.empty());
    Do("insert 3\ninsert 12 type=blank\ninsert 15 type=lock");
    ASSERT_EQ(CKR_OK, List(slots));
    EXPECT_EQ((std::vector<CK_SLOT_ID>{3, 12, 15}), slots);
    EXPECT_EQ("C_GetSlotList present=1 count=10 rv=0x00000000 found=3", standin.Journal().back());
}

// Guards against lost, doubled or reordered slot events.
TEST_F(Pkcs11, EachInsertionAndRemovalIsOneEventInOrder) {
    Do("insert 1"); // before C_Initialize: not reported
    Init();
    CK_SLOT_ID slot = 77;
    EXPECT_EQ(CKR_NO_EVENT, f->C_WaitForSlotEvent(CKF_DONT_BLOCK, &slot, nullptr));
    EXPECT_EQ(CK_SLOT_ID{77}, slot);

    Do("insert 3\nremove 3\nremove 4\ninsert 5\ninsert 5 type=blank");
    // Pulling an empty slot is no event; replacing a token is a removal and an insertion.
    std::vector<CK_SLOT_ID> events;
    CK_RV rv;
    while ((rv = f->C_WaitForSlotEvent(CKF_DONT_BLOCK, &slot, nullptr)) == CKR_OK)
        events.push_back(slot);
    EXPECT_EQ(CKR_NO_EVENT, rv);
    EXPECT_EQ((std::vector<CK_SLOT_ID>{3, 3, 5, 5, 5}), events);
    EXPECT_EQ("0", standin.Query("events"));
    auto waits = CallsOf(standin.Journal(), "C_WaitForSlotEvent");
    EXPECT_EQ("C_WaitForSlotEvent flags=1 rv=0x00000000 slot=3", waits[1]);
    EXPECT_EQ("C_WaitForSlotEvent flags=1 rv=0x00000008", waits.back());
}

} // namespace
