#include "pki/StandardInit.h"

#include "base/TextEncoding.h"
#include "pki/PkiReadBack.h"
#include "res/StringIds.h"
#include "token/CountedEnd.h"
#include "token/PaddedText.h"
#include "token/SoPinGuard.h"
#include "token/StandardToken.h"
#include "token/TokenSession.h"

#include <cstring>

namespace {

// Answers of C_InitToken and the session's calls that have a message of their own.
const ResultMessage kInitFailures[] = {
    {CKR_PIN_INCORRECT, IDS_SO_PIN_WRONG},       {CKR_PIN_LOCKED, IDS_SO_PIN_LOCKED},
    {CKR_PIN_LEN_RANGE, IDS_PIN_LENGTH},         {CKR_PIN_INVALID, IDS_PIN_LENGTH},
    {CKR_TOKEN_NOT_PRESENT, IDS_STD_TOKEN_LOST},
};

bool SameBytes(const SecureBytes& a, const SecureBytes& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0;
}

// The SO session after C_InitToken: the user PIN set, the SO PIN changed when it is a new one.
CK_RV SetPins(TokenModule& module, CK_SLOT_ID slot, const SecureBytes& soPinNow, const SecureBytes& soPin,
              const SecureBytes& userPin) {
    TokenSession session(module, slot, CKF_RW_SESSION);
    if (session.Result() != CKR_OK)
        return session.Result();
    CK_RV rv =
        module.Login(session.Handle(), CKU_SO, soPinNow.data(), static_cast<CK_ULONG>(soPinNow.size()));
    if (rv != CKR_OK)
        return rv;
    rv = module.InitPin(session.Handle(), userPin);
    if (rv == CKR_OK && !SameBytes(soPinNow, soPin))
        rv = module.SetPin(session.Handle(), soPinNow, soPin);
    const CK_RV loggedOut = module.Logout(session.Handle());
    const CK_RV closed = session.Close();
    return rv != CKR_OK ? rv : loggedOut != CKR_OK ? loggedOut : closed;
}

AttemptResult InitialiseFound(TokenModule& module, const StandardTarget& target, const PkiInitParams& asked,
                              AttemptProgress& progress) {
    StandardIdentity token = target.token;
    const CK_TOKEN_INFO& info = target.info;
    if (HasPinPad(info))
        return CountedEnd(token, AttemptKind::Failure, IDS_STD_PIN_PAD);

    if (MakeLabelField(asked.strLabel).empty())
        return Refused(token, IDS_LABEL_LENGTH);
    const bool bInitialisedBefore = (info.flags & CKF_TOKEN_INITIALIZED) != 0;
    if (bInitialisedBefore && asked.strCurrentSoPin.length() == 0)
        return Refused(token, IDS_STD_CURRENT_SO_PIN);
    const TokenIssue issue = progress.IssueFor(token.serial);
    if (issue.failureId != 0)
        return CountedEnd(token, AttemptKind::Failure, issue.failureId);
    // Left alone after all, before anything was written: nothing issued for it may stay.
    const auto leftAlone = [&progress](AttemptResult result) {
        progress.Withdraw();
        return result;
    };
    const PkiInitParams params = IssuedParams(asked, issue);
    // All wiped when they go out of scope.
    const SecureBytes labelField = MakeLabelField(params.strLabel);
    if (labelField.empty())
        return leftAlone(Refused(token, IDS_LABEL_LENGTH));
    const SecureBytes soPin = WideToMultiByte(params.strSoPin, CP_ACP);
    const SecureBytes userPin = WideToMultiByte(params.strUserPin, CP_ACP);
    // The SO PIN C_InitToken takes: the current one of a token initialised before.
    const SecureBytes soPinNow = bInitialisedBefore ? WideToMultiByte(params.strCurrentSoPin, CP_ACP) : soPin;
    if (!FitsPinLimits(info, soPin.size()) || !FitsPinLimits(info, userPin.size()) ||
        !FitsPinLimits(info, soPinNow.size()))
        return leftAlone(Refused(token, IDS_STD_PIN_LIMITS));
    if (bInitialisedBefore) {
        if (std::optional<AttemptResult> ended = GuardSoPin(module, token, params.bBatch, progress))
            return leftAlone(*ended);
    }

    // A module refuses C_InitToken while a session is open on the token: none of ours is.
    module.CloseAllSessions(token.slot);
    CK_RV rv = module.InitToken(token.slot, soPinNow, labelField.data());
    // The current SO PIN C_InitToken refused is the one given for every token of a batch run;
    // a fresh token takes any SO PIN, so only an initialised one can refuse it.
    const bool bSoPinRefused = bInitialisedBefore && IsSoPinRefusal(rv);
    CK_SLOT_ID slot = token.slot;
    CK_TOKEN_INFO now = {};
    if (rv == CKR_OK)
        rv = FindInitialisedToken(module, token.slot, info.serialNumber, slot, now);
    if (rv == CKR_OK) {
        // The ledger records the serial the token has now: a fresh one gets its first here.
        const std::wstring serialBefore = token.serial;
        token.serial = PaddedText(now.serialNumber, sizeof now.serialNumber);
        if (token.serial != serialBefore)
            progress.SerialAssigned(token.serial);
        rv = SetPins(module, slot, soPinNow, soPin, userPin);
    }
    if (rv != CKR_OK) {
        AttemptResult answered = ModuleAnswer(token, rv, IDS_PKI_DONE, kInitFailures);
        if (bSoPinRefused)
            answered.stop = AttemptStop::SoPinRefused;
        return answered;
    }
    const SentPkiValues sent{labelField, soPin, userPin, true};
    progress.ShowVerifying();
    return AfterReadBack(token, ReadBackPkiToken(module, slot, sent), IDS_PKI_DONE, IDS_PKI_VERIFY_FAILED);
}

} // namespace

AttemptResult InitStandardToken(TokenModule& module, const PkiInitParams& params, AttemptProgress& progress) {
    return FindStandardTarget(module, progress).Then([&](const StandardTarget& target) {
        return InitialiseFound(module, target, params, progress);
    });
}
