// The standard calls, as the program and ordinary PKCS#11 clients rely on them.
#include "StandinTest.h"

#include <chrono>
#include <cstring>
#include <future>
#include <thread>

namespace {

using Pkcs11 = StandinTest;

std::string Field(const unsigned char* bytes, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(bytes), size);
}

std::string Padded(const std::string& text, std::size_t size) {
    return text + std::string(size - text.size(), ' ');
}

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

// Calls the stand-in does not carry out must still answer as a conforming module does.
TEST_F(Pkcs11, UnusedCallsAnswerLikeAConformingModule) {
    CK_OBJECT_HANDLE object = 0;
    EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, f->C_InitToken(0, nullptr, 0, nullptr));
    EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, f->C_CreateObject(1, nullptr, 0, &object));
    EXPECT_EQ(CKR_CRYPTOKI_NOT_INITIALIZED, f->C_CancelFunction(1));
    Init();
    EXPECT_EQ(CKR_FUNCTION_NOT_SUPPORTED, f->C_InitToken(0, nullptr, 0, nullptr));
    EXPECT_EQ(CKR_FUNCTION_NOT_PARALLEL, f->C_GetFunctionStatus(1));
    EXPECT_EQ(CKR_FUNCTION_NOT_PARALLEL, f->C_CancelFunction(1));
    auto journal = standin.Journal();
    ASSERT_EQ(7u, journal.size());
    EXPECT_EQ("C_InitToken rv=0x00000054", journal[4]);
    EXPECT_EQ("C_CancelFunction rv=0x00000051", journal[6]);
}

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

TEST_F(Pkcs11, InitializeArguments) {
    CK_C_INITIALIZE_ARGS args{};
    int reserved = 0;
    args.pReserved = &reserved;
    EXPECT_EQ(CKR_ARGUMENTS_BAD, f->C_Initialize(&args));
    args.pReserved = nullptr;
    args.LockMutex = [](void*) -> CK_RV { return CKR_OK; };
    EXPECT_EQ(CKR_ARGUMENTS_BAD, f->C_Initialize(&args)); // some mutex functions, not all
    args.CreateMutex = [](void**) -> CK_RV { return CKR_OK; };
    args.DestroyMutex = [](void*) -> CK_RV { return CKR_OK; };
    args.UnlockMutex = [](void*) -> CK_RV { return CKR_OK; };
    EXPECT_EQ(CKR_CANT_LOCK, f->C_Initialize(&args)); // only its own locks would do
    EXPECT_EQ("0", standin.Query("initialized"));
    args.flags = CKF_OS_LOCKING_OK;
    EXPECT_EQ(CKR_OK, f->C_Initialize(&args));
    EXPECT_EQ("C_Initialize args=set rv=0x00000000", standin.Journal().back());
}

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

TEST_F(Pkcs11, SlotListTooSmallReportsTheNeededCount) {
    Init();
    for (int slot = 0; slot < 11; ++slot)
        Do("insert " + std::to_string(slot));
    CK_SLOT_ID slots[11];
    std::fill(std::begin(slots), std::end(slots), CK_SLOT_ID{99});
    CK_ULONG count = 10;
    EXPECT_EQ(CKR_BUFFER_TOO_SMALL, f->C_GetSlotList(CK_TRUE, slots, &count));
    EXPECT_EQ(11u, count);
    EXPECT_EQ(CK_SLOT_ID{99}, slots[0]); // nothing written on the refused call
    count = 0;
    EXPECT_EQ(CKR_OK, f->C_GetSlotList(CK_TRUE, nullptr, &count));
    EXPECT_EQ(11u, count);
    EXPECT_EQ(CKR_OK, f->C_GetSlotList(CK_TRUE, slots, &count));
    EXPECT_EQ(CK_SLOT_ID{10}, slots[10]);
}

TEST_F(Pkcs11, InfoSlotInfoAndTokenInfo) {
    Init();
    CK_INFO info;
    ASSERT_EQ(CKR_OK, f->C_GetInfo(&info));
    EXPECT_EQ(2, info.cryptokiVersion.major);
    EXPECT_EQ(Padded("Vantor", 32), Field(info.manufacturerID, 32));

    Do("insert 2 label=Bench-7 serial=0102030405A6B7C8 cos=2.7 public=1000 private=2000\ninsert 4 "
       "type=blank");
    CK_SLOT_INFO slotInfo;
    ASSERT_EQ(CKR_OK, f->C_GetSlotInfo(2, &slotInfo));
    EXPECT_EQ(CKF_TOKEN_PRESENT | CKF_REMOVABLE_DEVICE | CKF_HW_SLOT, slotInfo.flags);
    ASSERT_EQ(CKR_OK, f->C_GetSlotInfo(3, &slotInfo));
    EXPECT_EQ(CKF_REMOVABLE_DEVICE | CKF_HW_SLOT, slotInfo.flags);
    EXPECT_EQ(CKR_SLOT_ID_INVALID, f->C_GetSlotInfo(16, &slotInfo));

    CK_TOKEN_INFO token;
    ASSERT_EQ(CKR_OK, f->C_GetTokenInfo(2, &token));
    EXPECT_EQ(Padded("Bench-7", 32), Field(token.label, 32));
    EXPECT_EQ("0102030405A6B7C8", Field(token.serialNumber, 16));
    EXPECT_TRUE(token.flags & CKF_TOKEN_INITIALIZED);
    EXPECT_EQ(4u, token.ulMinPinLen);
    EXPECT_EQ(32u, token.ulMaxPinLen);
    EXPECT_EQ(1000u, token.ulTotalPublicMemory);
    EXPECT_EQ(2000u, token.ulTotalPrivateMemory);
    EXPECT_EQ(2, token.firmwareVersion.major);
    EXPECT_EQ(7, token.firmwareVersion.minor);

    // The serial is the one the hardware record carries.
    DEVICE_INFO device{};
    ASSERT_EQ(CKR_OK, aux->E_GetDeviceInfo(2, &device));
    EXPECT_EQ(0, std::memcmp("\x01\x02\x03\x04\x05\xA6\xB7\xC8", device.abySerialNumber, 8));

    ASSERT_EQ(CKR_OK, f->C_GetTokenInfo(4, &token));
    EXPECT_FALSE(token.flags & CKF_TOKEN_INITIALIZED);
    EXPECT_EQ(Padded("", 32), Field(token.label, 32));
    EXPECT_EQ(CKR_TOKEN_NOT_PRESENT, f->C_GetTokenInfo(3, &token));
    EXPECT_EQ(CKR_SLOT_ID_INVALID, f->C_GetTokenInfo(64, &token));
    EXPECT_EQ(CKR_ARGUMENTS_BAD, f->C_GetTokenInfo(2, nullptr));
}

TEST_F(Pkcs11, TokenInfoShowsPinCounters) {
    Init();
    Do("insert 0 so-max=6 so-left=0 user-max=6 user-left=1");
    CK_TOKEN_INFO token;
    ASSERT_EQ(CKR_OK, f->C_GetTokenInfo(0, &token));
    EXPECT_TRUE(token.flags & CKF_SO_PIN_LOCKED);
    EXPECT_TRUE(token.flags & CKF_USER_PIN_FINAL_TRY);
}

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

TEST_F(Pkcs11, BlockingWaitReturnsTheNextEvent) {
    Init();
    CK_SLOT_ID slot = 0;
    auto wait = std::async(std::launch::async, [&] { return f->C_WaitForSlotEvent(0, &slot, nullptr); });
    ASSERT_TRUE(AwaitBlockedWait(standin));
    Do("insert 9");
    ASSERT_EQ(std::future_status::ready, wait.wait_for(kNoHang));
    EXPECT_EQ(CKR_OK, wait.get());
    EXPECT_EQ(CK_SLOT_ID{9}, slot);
}

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
