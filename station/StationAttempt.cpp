#include "station/StationAttempt.h"

#include "attempt/AttemptResultLine.h"
#include "attempt/JobCodec.h"
#include "res/StringIds.h"
#include "station/AttemptChild.h"
#include "token/CountedEnd.h"

#include <optional>

AttemptResult RunChildAttempt(const StationSettings& settings, const StationToken& token,
                              AttemptProgress& progress) {
    // What the station knows of the token, for an attempt its child could not report.
    // The serial from its token information, no hardware record.
    const StandardIdentity known{token.slot, token.serial, std::wstring()};
    if (!progress.MayWorkOn(token.serial))
        return Refused(known, IDS_NOT_IN_STOCK);
    // The station seals a token's own PIN before its child is started: the child only ever
    // receives it as the user PIN to set.
    const TokenIssue issue = settings.job.IsPki() ? progress.IssueFor(token.serial) : TokenIssue();
    if (issue.failureId != 0)
        return CountedEnd(known, AttemptKind::Failure, issue.failureId);

    const AttemptChild::Clock::time_point deadline = AttemptChild::Clock::now() + settings.limit;
    AttemptChild child;
    std::optional<AttemptResult> result;
    AttemptChild::Read read = AttemptChild::Read::kEnd;
    ChildJob job{settings.job, token.slot, token.serial, settings.modulePath};
    job.job.pki = IssuedParams(settings.job.pki, issue);
    if (child.Start(settings.childProgram, EncodeChildArguments(job), EncodeChildPinLines(job.job),
                    settings.pinVariables)) {
        std::string line;
        while ((read = child.NextLine(line, deadline)) == AttemptChild::Read::kLine) {
            if (line == "progress working")
                progress.ShowProgress(IDS_INITIALISING);
            else if (line == "progress verifying")
                progress.ShowVerifying();
            else if (!result)
                result = DecodeAttemptResultLine(line);
        }
    }
    child.Kill(); // ended already, or overstayed its limit
    if (result)
        return *result;
    AttemptResult failed =
        CountedEnd(known, AttemptKind::Failure,
                   read == AttemptChild::Read::kTimedOut ? IDS_TIMED_OUT : IDS_STATION_NO_RESULT);
    failed.rv = CKR_FUNCTION_FAILED;
    return failed;
}
