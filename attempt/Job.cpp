#include "attempt/Job.h"

#include "pki/PkiInit.h"
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
