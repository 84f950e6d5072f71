// The vendor extension's operations on the virtual tokens.
#include "standin/AuxTable.h"

#include "standin/CallNames.h"
#include "standin/ModuleCall.h"

#include <cstring>

namespace {

#define VANTOR_NAME_CONSTANT(fn) constexpr char k##fn[] = #fn;
VANTOR_AUX_CALLS(VANTOR_NAME_CONSTANT)
#undef VANTOR_NAME_CONSTANT

// -1 for a PIN without its terminating zero, as the last-pki-record query says it.
std::string PinLength(const std::optional<SecureBytes>& pin) {
    return pin ? std::to_string(pin->size()) : "-1";
}

CK_RV InitPki(CK_SLOT_ID slot, PKI_INIT_PARAM* param) {
    return Guarded([&] {
        ModuleCall call(kE_InitPkiToken, slot);
        call.Arg("slot", slot);
        std::optional<PkiRecordCopy> record;
        if (param == nullptr) {
            call.Arg("record", "null");
        } else {
            record = CopyPkiRecord(*param);
            call.State().KeepPkiRecord(*record);
            call.Arg("so-len", PinLength(record->soPin).c_str())
                .Arg("user-len", PinLength(record->userPin).c_str());
        }
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        VirtualToken* token = nullptr;
        if (CK_RV rv = call.FindToken(slot, token); rv != CKR_OK)
            return call.Return(rv);
        if (!record)
            return call.Return(CKR_ARGUMENTS_BAD);
        return call.Return(InitPkiToken(*token, *record));
    });
}

CK_RV InitBlank(CK_SLOT_ID slot, CK_BYTE_PTR soPin, CK_ULONG soPinLength) {
    return Guarded([&] {
        ModuleCall call(kE_InitBlankToken, slot);
        call.Arg("slot", slot).Arg("pinlen", soPinLength);
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        VirtualToken* token = nullptr;
        if (CK_RV rv = call.FindToken(slot, token); rv != CKR_OK)
            return call.Return(rv);
        return call.Return(InitBlankToken(*token, soPin, soPinLength));
    });
}

CK_RV GetDeviceInfo(CK_SLOT_ID slot, DEVICE_INFO* info) {
    return Guarded([&] {
        ModuleCall call(kE_GetDeviceInfo, slot);
        call.Arg("slot", slot);
        if (auto answer = call.EarlyAnswer())
            return call.Return(*answer);
        VirtualToken* token = nullptr;
        if (CK_RV rv = call.FindToken(slot, token); rv != CKR_OK)
            return call.Return(rv);
        if (info == nullptr)
            return call.Return(CKR_ARGUMENTS_BAD);
        std::memset(info, 0, sizeof *info);
        FillDeviceInfo(*token, *info);
        return call.Out("type", token->type).Return(CKR_OK);
    });
}

AUX_FUNCTION_LIST MakeAuxFunctionList() {
    AUX_FUNCTION_LIST list{};
    list.version = CK_VERSION{1, 0};
    list.E_InitPkiToken = &InitPki;
    list.E_AuxEntry1 = &Unsupported<E_AuxUnused_t, kE_AuxEntry1>::Call;
    list.E_AuxEntry2 = &Unsupported<E_AuxUnused_t, kE_AuxEntry2>::Call;
    list.E_AuxEntry3 = &Unsupported<E_AuxUnused_t, kE_AuxEntry3>::Call;
    list.E_AuxEntry4 = &Unsupported<E_AuxUnused_t, kE_AuxEntry4>::Call;
    list.E_AuxEntry5 = &Unsupported<E_AuxUnused_t, kE_AuxEntry5>::Call;
    list.E_AuxEntry6 = &Unsupported<E_AuxUnused_t, kE_AuxEntry6>::Call;
    list.E_AuxEntry7 = &Unsupported<E_AuxUnused_t, kE_AuxEntry7>::Call;
    list.E_InitBlankToken = &InitBlank;
    list.E_GetDeviceInfo = &GetDeviceInfo;
    return list;
}

} // namespace

AUX_FUNCTION_LIST* StandinAuxFunctionList() {
    static AUX_FUNCTION_LIST list = MakeAuxFunctionList();
    return &list;
}
