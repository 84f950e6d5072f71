#pragma once
// The binding to the token maker's PKCS#11 module: the module handle, the standard function
// list and the auxiliary (vendor) function list, as the main window owns them.
#include "token/AuxFunctionList.h"
#include "token/ModuleLibrary.h"
#include "base/SecureBuffer.h"

#include <atomic>
#include <mutex>
#include <string>

// Where the binding shows its failures (IDS_LOAD_MODULE_FAILED and IDS_INIT_MODULE_FAILED): a message box
// owned by the main window in the program, a recorder in tests.
class ModuleMessageSink {
  public:
    virtual void ShowModuleMessage(unsigned messageId) = 0;

  protected:
    ~ModuleMessageSink() = default;
};

#ifdef _WIN32
#define VANTOR_TOKEN_MODULE_NAME L"orbelcsp11.dll"
#else
#define VANTOR_TOKEN_MODULE_NAME L"liborbelcsp11.so"
#endif

class TokenModule {
  public:
    // `bStandardAllowed`: a module the operator named himself may lack the vendor extension;
    // it is then driven through standard calls only. The default module must carry it.
    explicit TokenModule(std::wstring fileName = VANTOR_TOKEN_MODULE_NAME, bool bStandardAllowed = false)
        : m_fileName(std::move(fileName)), m_bStandardAllowed(bStandardAllowed) {}
    // Released at the latest here, so a binding replaced or never completed is finalised too.
    ~TokenModule() { UnloadTokenModule(); }
    TokenModule(const TokenModule&) = delete;
    TokenModule& operator=(const TokenModule&) = delete;

    // 0 (CKR_OK) when bound; 6 (CKR_FUNCTION_FAILED) after showing either of them.
    CK_RV LoadTokenModule(ModuleMessageSink& sink);
    // C_Finalize then free the library, when a function list was obtained. After this
    // no call reaches the module any more.
    void UnloadTokenModule();

    // Both lists present: what every operation checks before it calls the module.
    bool HasFunctionLists() const {
        return m_pFunctionList != nullptr && (m_pAuxFunctionList != nullptr || m_bStandard);
    }
    // Bound without the vendor extension: the operations take their standard path.
    bool IsStandard() const { return m_bStandard; }
    const std::wstring& FileName() const { return m_fileName; }

    // Module calls used by the operations and workers. Each holds the call lock for the
    // duration of that one call only, so the interface thread and a batch worker never
    // enter the module at the same time. After release they answer
    // CKR_CRYPTOKI_NOT_INITIALIZED without calling the module.
    CK_RV GetSlotList(CK_SLOT_ID* slots, CK_ULONG* count); // token present = CK_TRUE
    CK_RV WaitForSlotEvent(CK_FLAGS flags, CK_SLOT_ID* slot);
    CK_RV GetDeviceInfo(CK_SLOT_ID slot, DEVICE_INFO* info);
    CK_RV InitBlankToken(CK_SLOT_ID slot, const CK_BYTE* soPin, CK_ULONG soPinLength);
    CK_RV InitPkiToken(CK_SLOT_ID slot, PKI_INIT_PARAM* param);
    // The read-back after an initialisation and the SO PIN guard before a wipe.
    CK_RV GetTokenInfo(CK_SLOT_ID slot, CK_TOKEN_INFO* info);
    CK_RV OpenSession(CK_SLOT_ID slot, CK_FLAGS flags, CK_SESSION_HANDLE* session);
    CK_RV Login(CK_SESSION_HANDLE session, CK_USER_TYPE userType, const CK_BYTE* pin, CK_ULONG pinLength);
    CK_RV Logout(CK_SESSION_HANDLE session);
    CK_RV CloseSession(CK_SESSION_HANDLE session);
    // The standard path's calls.
    CK_RV GetSlotInfo(CK_SLOT_ID slot, CK_SLOT_INFO* info);
    CK_RV InitToken(CK_SLOT_ID slot, const SecureBytes& soPin, const CK_UTF8CHAR* labelField);
    CK_RV InitPin(CK_SESSION_HANDLE session, const SecureBytes& pin);
    CK_RV SetPin(CK_SESSION_HANDLE session, const SecureBytes& oldPin, const SecureBytes& newPin);
    CK_RV CloseAllSessions(CK_SLOT_ID slot);
    // Up to `places` handles of the objects the session sees (all, with no template).
    CK_RV FindObjects(CK_SESSION_HANDLE session, CK_OBJECT_HANDLE* found, CK_ULONG places, CK_ULONG* count);

    // A station's child works on one token only: from now on the slot listing shows `slot`
    // alone (when it holds a token), so the operations see exactly that token.
    void LimitToSlot(CK_SLOT_ID slot);

    // Set once the release has begun; workers may read it to stop early.
    bool IsReleased() const { return m_bReleased.load(); }

    // The binding, as the rest of the system reads it. Zero until bound; kept after release.
    void* m_hTokenModule = nullptr;
    CK_FUNCTION_LIST_PTR m_pFunctionList = nullptr;
    AUX_FUNCTION_LIST_PTR m_pAuxFunctionList = nullptr;

  private:
    // Enough for any hub a station serves.
    static constexpr CK_ULONG kOneSlotListPlaces = 64;
    CK_RV ListAllSlots(CK_SLOT_ID* slots, CK_ULONG* count);

    const std::wstring m_fileName;
    const bool m_bStandardAllowed;
    bool m_bStandard = false;
    ModuleLibrary m_library;
    std::mutex m_callLock;
    std::atomic<bool> m_bReleased{false};
    bool m_bOneSlot = false;
    CK_SLOT_ID m_oneSlot = 0;
};
