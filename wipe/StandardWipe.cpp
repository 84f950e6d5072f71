#include "wipe/StandardWipe.h"

#include "base/TextEncoding.h"
#include "res/StringIds.h"
#include "token/CountedEnd.h"
#include "token/SoPinGuard.h"
#include "token/StandardToken.h"
#include "token/TokenSession.h"

#include <cstring>

namespace {

// C_InitToken's answers other than CKR_OK that have a message of their own.
const ResultMessage kWipeFailures[] = {
    {CKR_PIN_INCORRECT, IDS_SO_PIN_WRONG},
    {CKR_PIN_LOCKED, IDS_SO_PIN_LOCKED},
    {CKR_PIN_LEN_RANGE, IDS_PIN_LENGTH},
};

ReadBack ReadBackStandardWipe(TokenModule& module, const CK_CHAR (&serial)[16]) {
    CK_SLOT_ID slot = 0;
    CK_TOKEN_INFO info = {};
    CK_RV rv = FindSlotBySerial(module, serial, slot, info);
    if (rv != CKR_OK)
        return ReadBack::NotVerified(rv);
    if (!(info.flags & CKF_TOKEN_INITIALIZED))
        return ReadBack::Mismatch(IDS_VERIFY_NOT_INITIALISED);
    if (info.flags & CKF_USER_PIN_INITIALIZED)
        return ReadBack::Mismatch(IDS_STD_USER_PIN_LEFT);
    TokenSession session(module, slot, 0);
    if (session.Result() != CKR_OK)
        return ReadBack::NotVerified(session.Result());
    CK_OBJECT_HANDLE found[1];
    CK_ULONG count = 0;
    rv = module.FindObjects(session.Handle(), found, 1, &count);
    if (rv != CKR_OK)
        return ReadBack::NotVerified(rv);
    if (count != 0)
        return ReadBack::Mismatch(IDS_STD_OBJECTS_LEFT);
    rv = session.Close();
    return rv == CKR_OK ? ReadBack{} : ReadBack::NotVerified(rv);
}

AttemptResult WipeFound(TokenModule& module, const StandardTarget& target, const WipeParams& params,
                        AttemptProgress& progress) {
    const StandardIdentity& token = target.token;
    if (HasPinPad(target.info))
        return CountedEnd(token, AttemptKind::Failure, IDS_STD_PIN_PAD);
    if (!(target.info.flags & CKF_TOKEN_INITIALIZED)) // nothing on it to wipe
        return CountedEnd(token, AttemptKind::Success, IDS_ALREADY_BLANK);

    // Wiped when it goes out of scope; the length counts no terminating zero.
    const SecureBytes soPin = WideToMultiByte(params.strSoPin, CP_ACP);
    if (!FitsPinLimits(target.info, soPin.size()))
        return Refused(token, IDS_STD_PIN_LIMITS);
    if (std::optional<AttemptResult> ended = GuardSoPin(module, token, params.bBatch, progress))
        return *ended;

    // A module refuses C_InitToken while a session is open on the token: none of ours is.
    module.CloseAllSessions(token.slot);
    CK_UTF8CHAR blankLabel[32]; // an empty label: spaces only, no terminating zero
    std::memset(blankLabel, ' ', sizeof blankLabel);
    const CK_RV rv = module.InitToken(token.slot, soPin, blankLabel);
    if (rv == CKR_OK) {
        progress.ShowVerifying();
        return AfterReadBack(token, ReadBackStandardWipe(module, target.info.serialNumber), IDS_WIPE_DONE,
                             IDS_STD_WIPE_VERIFY_FAILED);
    }
    AttemptResult answered = ModuleAnswer(token, rv, IDS_WIPE_DONE, kWipeFailures);
    if (IsSoPinRefusal(rv))
        answered.stop = AttemptStop::SoPinRefused;
    return answered;
}

} // namespace

AttemptResult WipeStandardToken(TokenModule& module, const WipeParams& params, AttemptProgress& progress) {
    return FindStandardTarget(module, progress, params.bBatch).Then([&](const StandardTarget& target) {
        return WipeFound(module, target, params, progress);
    });
}
