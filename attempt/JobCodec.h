#pragma once
// A job as a station hands it to the child that handles one token (vantor-cli slot-attempt):
// its command line "slot-attempt wipe|init --slot N --serial S [--module PATH] [--set KEY=VALUE
// ...] --pins-stdin" and the PIN lines on its standard input. Written here once for both
// sides; the result comes back through attempt/AttemptResultLine.h.
#include "attempt/Job.h"
#include "base/SecureBuffer.h"

#include <cstddef>
#include <string>
#include <vector>

// One child's work: the job on the token of `serial` in `slot`.
struct ChildJob {
    Job job;
    CK_SLOT_ID slot = 0;
    std::wstring serial;
    std::wstring modulePath; // empty: the child's own search (the module beside vantor-cli)
};

// The child's arguments, without the program name. A PKI initialisation's values go as --set
// lines (pki/PkiProfile.h), its limits only when the job sets them; no PIN is among them.
std::vector<std::wstring> EncodeChildArguments(const ChildJob& child);
// The child's standard input: each PIN's UTF-8 bytes and a line feed, in wiped storage (wipe:
// the SO PIN; init: new SO PIN, new user PIN, current SO PIN, the last possibly empty).
SecureBytes EncodeChildPinLines(const Job& job);

struct ChildArgumentsRead {
    ChildJob child; // the job without its PINs
    // Non-empty: the arguments are no child's; nothing else is done (exit 2, no result line).
    std::wstring usage;
    // Non-empty: the values (--set lines, or a profile file with --profile FILE) were refused,
    // named by line: the attempt fails on this token without touching it.
    std::wstring refusal;
};
ChildArgumentsRead DecodeChildArguments(const std::vector<std::wstring>& args);

// How many PIN lines the child reads for `operation`, and from which on a line may be empty.
struct ChildPinLineCount {
    std::size_t count = 0;
    std::size_t optionalFrom = 0;
};
ChildPinLineCount ChildPinLines(JobOperation operation);
// `lines` (as many as ChildPinLines says, each already checked as PIN text) into `job`, then
// checked as the pages check their PIN fields: empty, or the page's message.
std::wstring DecodeChildPinLines(const std::vector<SecretText>& lines, Job& job);
