#include "attempt/Job.h"

#include "pki/PkiInit.h"
#include "pki/PkiProfile.h"
#include "wipe/WipeToken.h"

AttemptResult DoJob(TokenModule* module, const Job& job, bool bBatch, AttemptProgress& progress) {
    if (job.IsPki()) {
        PkiInitParams params = job.pki;
        params.bBatch = bBatch;
        return InitialisePkiToken(module, params, progress);
    }
    WipeParams params;
    params.strSoPin = job.soPin;
    params.bBatch = bBatch;
    return WipeToken(module, params, progress);
}

std::wstring CheckJobPins(const Job& job) {
    if (!job.IsPki())
        return CheckCurrentSoPin(job.soPin);
    const PkiInitParams& pki = job.pki;
    return CheckNewPins(pki.strSoPin, job.randomUserPin.length != 0 ? pki.strSoPin : pki.strUserPin);
}
