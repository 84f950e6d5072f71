#include "station/StationAttempt.h"

#include "attempt/AttemptResultLine.h"
#include "res/StringIds.h"
#include "station/AttemptChild.h"
#include "token/CountedEnd.h"

#include <optional>

std::vector<std::wstring> ChildArguments(const StationSettings& settings, const StationToken& token) {
    std::vector<std::wstring> arguments{
        L"slot-attempt", settings.operation == StationOperation::Pki ? L"init" : L"wipe",
        L"--slot",       std::to_wstring(token.slot),
        L"--serial",     token.serial};
    if (!settings.modulePath.empty())
        arguments.insert(arguments.end(), {L"--module", settings.modulePath});
    arguments.insert(arguments.end(), settings.childArguments.begin(), settings.childArguments.end());
    arguments.push_back(L"--pins-stdin");
    return arguments;
}

AttemptResult RunChildAttempt(const StationSettings& settings, const StationToken& token,
                              AttemptProgress& progress) {
    // What the station knows of the token, for an attempt its child could not report.
    // The serial from its token information, no hardware record.
    const StandardIdentity known{token.slot, token.serial, std::wstring()};
    if (!progress.MayWorkOn(token.serial))
        return Refused(known, IDS_NOT_IN_STOCK);

    const AttemptChild::Clock::time_point deadline = AttemptChild::Clock::now() + settings.limit;
    AttemptChild child;
    std::optional<AttemptResult> result;
    AttemptChild::Read read = AttemptChild::Read::kEnd;
    if (child.Start(settings.childProgram, ChildArguments(settings, token), settings.pinLines,
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
