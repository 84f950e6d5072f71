// The standard calls, as the program and ordinary PKCS#11 clients rely on them.
#include "StandinTest.h"

#include <chrono>
#include <cstring>
#include <future>
#include <thread>

namespace {

using Pkcs11 = StandinTest;

// Guards against an empty entry in the call table, which a client would jump through.
TEST_F(Pkcs11, FunctionListHasEveryEntry) {
    EXPECT_EQ(2, f->version.major);
    // The entries follow the version without gaps; none may be left empty.
    const std::size_t entries = (sizeof(CK_FUNCTION_LIST) - sizeof(CK_VERSION)) / sizeof(void*);
    EXPECT_EQ(68u, entries);
    const auto* bytes = reinterpret_cast<const unsigned char*>(f) + sizeof(CK_VERSION);
    for (std::size_t i = 0; i < entries; ++i) {
        void* entry = nullptr;
        std::memcpy(&entry, bytes + i * sizeof(void*), sizeof entry);
        EXPECT_NE(nullptr, entry) << "entry " << i;
    }
}

// Guards against calls the module does not implement answering as if they worked.
TEST_F(Pkcs11, UnusedCallsAreNotSupportedAndJournaled) {
    Init();
    CK_SESSION_HANDLE session = 0;
    EXPECT_EQ(CKR_FUNCTION_NOT_SUPPORTED,
              f->C_OpenSession(0, CKF_SERIAL_SESSION, nullptr, nullptr, &session));
    EXPECT_EQ(CKR_FUNCTION_NOT_SUPPORTED, f->C_InitToken(0, nullptr, 0, nullptr));
    EXPECT_EQ(CKR_FUNCTION_NOT_SUPPORTED, f->C_CancelFunction(0));
    auto journal = standin.Journal();
    ASSERT_EQ(4u, journal.size());
    EXPECT_EQ("C_OpenSession rv=0x00000054", journal[1]);
    EXPECT_EQ("C_InitToken rv=0x00000054", journal[2]);
    EXPECT_EQ("C_CancelFunction rv=0x00000054", journal[3]);
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

    // Without the filter every slot is listed.
    CK_ULONG count = 0;
    ASSERT_EQ(CKR_OK, f->C_GetSlotList(CK_FALSE, nullptr, &count));
    EXPECT_EQ(16u, count);
    EXPECT_EQ("C_GetSlotList present=0 count=0 list=null rv=0x00000000 found=16", standin.Journal().back());
    Do("slots 20");
    ASSERT_EQ(CKR_OK, f->C_GetSlotList(CK_FALSE, nullptr, &count));
    EXPECT_EQ(20u, count);
    EXPECT_EQ(CKR_ARGUMENTS_BAD, f->C_GetSlotList(CK_TRUE, nullptr, nullptr));
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

    int reserved = 0;
    EXPECT_EQ(CKR_ARGUMENTS_BAD, f->C_WaitForSlotEvent(CKF_DONT_BLOCK, nullptr, nullptr));
    EXPECT_EQ(CKR_ARGUMENTS_BAD, f->C_WaitForSlotEvent(CKF_DONT_BLOCK, &slot, &reserved));
}

// A blocking wait must end by itself; a stuck one fails the test instead of hanging it.
constexpr auto kNoHang = std::chrono::seconds(20);

// Until a C_WaitForSlotEvent call is blocked inside the module.
bool AwaitBlockedWait(StandinHandle& standin) {
    const auto end = std::chrono::steady_clock::now() + kNoHang;
    while (standin.Query("waiting") != "1") {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Guards against C_Finalize returning while a blocked wait is still inside the module.
TEST_F(Pkcs11, FinalizeWakesABlockedWait) {
    Init();
    CK_SLOT_ID slot = 0;
    auto wait = std::async(std::launch::async, [&] { return f->C_WaitForSlotEvent(0, &slot, nullptr); });
    ASSERT_TRUE(AwaitBlockedWait(standin));
    // Finalize returns only once the blocked wait has left the module.
    auto finalize = std::async(std::launch::async, [&] { return f->C_Finalize(nullptr); });
    ASSERT_EQ(std::future_status::ready, finalize.wait_for(kNoHang));
    EXPECT_EQ(CKR_OK, finalize.get());
    EXPECT_EQ("0", standin.Query("waiting"));
    ASSERT_EQ(std::future_status::ready, wait.wait_for(kNoHang));
    EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, wait.get());
}

} // namespace
