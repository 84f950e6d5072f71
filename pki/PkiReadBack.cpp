#include "pki/PkiReadBack.h"

#include "res/StringIds.h"
#include "token/StandardToken.h"
#include "token/TokenSession.h"

#include <cstring>

namespace {

// Login answers that prove the PIN just set does not open the token: refused, locked,
// or the PIN absent or of a form the token no longer takes. Every other failing answer
// (another login in the way, no such function, device errors, a PIN that must be changed
// first) says nothing about the PIN, so it leaves the token unverified.
bool RefusesPin(CK_RV rv) {
    switch (rv) {
    case CKR_PIN_INCORRECT:
    case CKR_PIN_INVALID:
    case CKR_PIN_LEN_RANGE:
    case CKR_PIN_LOCKED:
    case CKR_USER_PIN_NOT_INITIALIZED:
        return true;
    default:
        return false;
    }
}

bool IsSameLabel(const CK_TOKEN_INFO& info, const SentPkiValues& sent) {
    static_assert(sizeof info.label == PKI_LABEL_FIELD_SIZE - 1, "the label field without its zero");
    if (sent.bLabelMayGrow)
        return LabelMatches(info.label, sent.labelField);
    return sent.labelField.size() == sizeof info.label &&
           std::memcmp(info.label, sent.labelField.data(), sizeof info.label) == 0;
}

ReadBack CheckTokenInfo(TokenModule& module, CK_SLOT_ID slot, const SentPkiValues& sent) {
    CK_TOKEN_INFO info = {};
    const CK_RV rv = module.GetTokenInfo(slot, &info);
    if (rv != CKR_OK)
        return ReadBack::NotVerified(rv);
    if (!IsSameLabel(info, sent))
        return ReadBack::Mismatch(IDS_VERIFY_LABEL);
    if (!(info.flags & CKF_TOKEN_INITIALIZED))
        return ReadBack::Mismatch(IDS_VERIFY_NOT_INITIALISED);
    if (!(info.flags & CKF_USER_PIN_INITIALIZED))
        return ReadBack::Mismatch(IDS_VERIFY_USER_PIN_UNSET);
    return ReadBack{};
}

ReadBack ProveLogin(TokenModule& module, CK_SESSION_HANDLE session, CK_USER_TYPE user, const SecureBytes& pin,
                    unsigned mismatchId) {
    CK_RV rv = module.Login(session, user, pin.data(), static_cast<CK_ULONG>(pin.size()));
    if (RefusesPin(rv))
        return ReadBack::Mismatch(mismatchId);
    if (rv != CKR_OK)
        return ReadBack::NotVerified(rv);
    rv = module.Logout(session);
    if (rv != CKR_OK)
        return ReadBack::NotVerified(rv);
    return ReadBack{};
}

} // namespace

ReadBack ReadBackPkiToken(TokenModule& module, CK_SLOT_ID slot, const PkiInitRecord& record) {
    return ReadBackPkiToken(module, slot,
                            SentPkiValues{record.LabelField(), record.SoPin(), record.UserPin(), false});
}

ReadBack ReadBackPkiToken(TokenModule& module, CK_SLOT_ID slot, const SentPkiValues& sent) {
    ReadBack check = CheckTokenInfo(module, slot, sent);
    if (check.outcome != ReadBack::kVerified)
        return check;

    TokenSession session(module, slot, CKF_RW_SESSION);
    if (session.Result() != CKR_OK)
        return ReadBack::NotVerified(session.Result());
    check = ProveLogin(module, session.Handle(), CKU_USER, sent.userPin, IDS_VERIFY_USER_LOGIN);
    if (check.outcome == ReadBack::kVerified)
        check = ProveLogin(module, session.Handle(), CKU_SO, sent.soPin, IDS_VERIFY_SO_LOGIN);
    const CK_RV closed = session.Close();
    if (check.outcome == ReadBack::kVerified && closed != CKR_OK)
        return ReadBack::NotVerified(closed);
    return check;
}
