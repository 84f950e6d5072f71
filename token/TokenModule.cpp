#include "token/TokenModule.h"

#include "res/StringIds.h"

#include <algorithm>

CK_RV TokenModule::LoadTokenModule(ModuleMessageSink& sink) {
    if (m_hTokenModule != nullptr)
        return CKR_OK;

    m_library.Load(m_fileName);
    m_hTokenModule = m_library.Handle();
    if (m_hTokenModule == nullptr) {
        sink.ShowModuleMessage(IDS_LOAD_MODULE_FAILED);
        return CKR_FUNCTION_FAILED;
    }
    auto getFunctionList = reinterpret_cast<CK_C_GetFunctionList>(m_library.Symbol("C_GetFunctionList"));
    if (getFunctionList == nullptr) {
        sink.ShowModuleMessage(IDS_LOAD_MODULE_FAILED);
        return CKR_FUNCTION_FAILED;
    }
    auto getAuxFunctionList =
        reinterpret_cast<E_GetAuxFunctionList_t>(m_library.Symbol("E_GetAuxFunctionList"));
    if (getAuxFunctionList == nullptr && !m_bStandardAllowed) {
        sink.ShowModuleMessage(IDS_LOAD_MODULE_FAILED);
        return CKR_FUNCTION_FAILED;
    }

    CK_RV rv;
    {
        std::lock_guard<std::mutex> lock(m_callLock);
        rv = getFunctionList(&m_pFunctionList);
    }
    if (rv != CKR_OK || m_pFunctionList == nullptr) {
        sink.ShowModuleMessage(IDS_INIT_MODULE_FAILED);
        return CKR_FUNCTION_FAILED;
    }
    {
        std::lock_guard<std::mutex> lock(m_callLock);
        rv = m_pFunctionList->C_Initialize != nullptr ? m_pFunctionList->C_Initialize(NULL_PTR)
                                                      : CKR_FUNCTION_NOT_SUPPORTED;
    }
    if (rv != CKR_OK) {
        sink.ShowModuleMessage(IDS_INIT_MODULE_FAILED);
        return CKR_FUNCTION_FAILED;
    }
    if (getAuxFunctionList == nullptr) {
        m_bStandard = true;
        return CKR_OK;
    }
    {
        std::lock_guard<std::mutex> lock(m_callLock);
        rv = getAuxFunctionList(&m_pAuxFunctionList);
    }
    if (rv != CKR_OK) {
        sink.ShowModuleMessage(IDS_INIT_MODULE_FAILED);
        return CKR_FUNCTION_FAILED;
    }
    return CKR_OK;
}

void TokenModule::UnloadTokenModule() {
    if (m_hTokenModule == nullptr || m_pFunctionList == nullptr)
        return;
    std::lock_guard<std::mutex> lock(m_callLock);
    if (m_bReleased.exchange(true))
        return;
    if (m_pFunctionList->C_Finalize != nullptr)
        m_pFunctionList->C_Finalize(NULL_PTR);
    m_library.Free();
}

// Runs one module call under the call lock, unless the module is gone or lacks the entry.
#define VANTOR_MODULE_CALL(table, entry, ...)                                                                \
    do {                                                                                                     \
        std::lock_guard<std::mutex> lock(m_callLock);                                                        \
        if (m_bReleased.load())                                                                              \
            return CKR_CRYPTOKI_NOT_INITIALIZED;                                                             \
        if ((table) == nullptr || (table)->entry == nullptr)                                                 \
            return CKR_FUNCTION_NOT_SUPPORTED;                                                               \
        return (table)->entry(__VA_ARGS__);                                                                  \
    } while (0)

void TokenModule::LimitToSlot(CK_SLOT_ID slot) {
    m_bOneSlot = true;
    m_oneSlot = slot;
}

CK_RV TokenModule::GetSlotList(CK_SLOT_ID* slots, CK_ULONG* count) {
    if (!m_bOneSlot)
        VANTOR_MODULE_CALL(m_pFunctionList, C_GetSlotList, CK_TRUE, slots, count);
    CK_SLOT_ID present[kOneSlotListPlaces] = {};
    CK_ULONG presentCount = kOneSlotListPlaces;
    const CK_RV rv = ListAllSlots(present, &presentCount);
    if (rv != CKR_OK)
        return rv;
    const bool bThere = std::find(present, present + presentCount, m_oneSlot) != present + presentCount;
    const CK_ULONG places = *count;
    *count = bThere ? 1 : 0;
    if (slots == nullptr || !bThere)
        return CKR_OK;
    if (places < 1)
        return CKR_BUFFER_TOO_SMALL;
    slots[0] = m_oneSlot;
    return CKR_OK;
}

CK_RV TokenModule::ListAllSlots(CK_SLOT_ID* slots, CK_ULONG* count) {
    VANTOR_MODULE_CALL(m_pFunctionList, C_GetSlotList, CK_TRUE, slots, count);
}

CK_RV TokenModule::WaitForSlotEvent(CK_FLAGS flags, CK_SLOT_ID* slot) {
    VANTOR_MODULE_CALL(m_pFunctionList, C_WaitForSlotEvent, flags, slot, NULL_PTR);
}

CK_RV TokenModule::GetDeviceInfo(CK_SLOT_ID slot, DEVICE_INFO* info) {
    VANTOR_MODULE_CALL(m_pAuxFunctionList, E_GetDeviceInfo, slot, info);
}

CK_RV TokenModule::InitBlankToken(CK_SLOT_ID slot, const CK_BYTE* soPin, CK_ULONG soPinLength) {
    VANTOR_MODULE_CALL(m_pAuxFunctionList, E_InitBlankToken, slot, const_cast<CK_BYTE*>(soPin), soPinLength);
}

CK_RV TokenModule::InitPkiToken(CK_SLOT_ID slot, PKI_INIT_PARAM* param) {
    VANTOR_MODULE_CALL(m_pAuxFunctionList, E_InitPkiToken, slot, param);
}

CK_RV TokenModule::GetTokenInfo(CK_SLOT_ID slot, CK_TOKEN_INFO* info) {
    VANTOR_MODULE_CALL(m_pFunctionList, C_GetTokenInfo, slot, info);
}

CK_RV TokenModule::OpenSession(CK_SLOT_ID slot, CK_FLAGS flags, CK_SESSION_HANDLE* session) {
    VANTOR_MODULE_CALL(m_pFunctionList, C_OpenSession, slot, flags, NULL_PTR, NULL_PTR, session);
}

CK_RV TokenModule::Login(CK_SESSION_HANDLE session, CK_USER_TYPE userType, const CK_BYTE* pin,
                         CK_ULONG pinLength) {
    VANTOR_MODULE_CALL(m_pFunctionList, C_Login, session, userType, const_cast<CK_BYTE*>(pin), pinLength);
}

CK_RV TokenModule::Logout(CK_SESSION_HANDLE session) {
    VANTOR_MODULE_CALL(m_pFunctionList, C_Logout, session);
}

CK_RV TokenModule::CloseSession(CK_SESSION_HANDLE session) {
    VANTOR_MODULE_CALL(m_pFunctionList, C_CloseSession, session);
}

CK_RV TokenModule::GetSlotInfo(CK_SLOT_ID slot, CK_SLOT_INFO* info) {
    VANTOR_MODULE_CALL(m_pFunctionList, C_GetSlotInfo, slot, info);
}

CK_RV TokenModule::InitToken(CK_SLOT_ID slot, const SecureBytes& soPin, const CK_UTF8CHAR* labelField) {
    VANTOR_MODULE_CALL(m_pFunctionList, C_InitToken, slot, const_cast<CK_BYTE*>(soPin.data()),
                       static_cast<CK_ULONG>(soPin.size()), const_cast<CK_UTF8CHAR*>(labelField));
}

CK_RV TokenModule::InitPin(CK_SESSION_HANDLE session, const SecureBytes& pin) {
    VANTOR_MODULE_CALL(m_pFunctionList, C_InitPIN, session, const_cast<CK_BYTE*>(pin.data()),
                       static_cast<CK_ULONG>(pin.size()));
}

CK_RV TokenModule::SetPin(CK_SESSION_HANDLE session, const SecureBytes& oldPin, const SecureBytes& newPin) {
    VANTOR_MODULE_CALL(m_pFunctionList, C_SetPIN, session, const_cast<CK_BYTE*>(oldPin.data()),
                       static_cast<CK_ULONG>(oldPin.size()), const_cast<CK_BYTE*>(newPin.data()),
                       static_cast<CK_ULONG>(newPin.size()));
}

CK_RV TokenModule::CloseAllSessions(CK_SLOT_ID slot) {
    VANTOR_MODULE_CALL(m_pFunctionList, C_CloseAllSessions, slot);
}

CK_RV TokenModule::FindObjects(CK_SESSION_HANDLE session, CK_OBJECT_HANDLE* found, CK_ULONG places,
                               CK_ULONG* count) {
    std::lock_guard<std::mutex> lock(m_callLock);
    if (m_bReleased.load())
        return CKR_CRYPTOKI_NOT_INITIALIZED;
    CK_FUNCTION_LIST_PTR list = m_pFunctionList;
    if (list == nullptr || list->C_FindObjectsInit == nullptr || list->C_FindObjects == nullptr ||
        list->C_FindObjectsFinal == nullptr)
        return CKR_FUNCTION_NOT_SUPPORTED;
    CK_RV rv = list->C_FindObjectsInit(session, NULL_PTR, 0);
    if (rv != CKR_OK)
        return rv;
    rv = list->C_FindObjects(session, found, places, count);
    const CK_RV ended = list->C_FindObjectsFinal(session);
    return rv != CKR_OK ? rv : ended;
}
