// A station child's command line is any list of words: no crash, a refusal carries no control
// character, and a job it accepts is written back as a command line that reads the same.
#include "attempt/JobCodec.h"
#include "base/ShownText.h"
#include "base/Utf8.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The words, separated by NUL as in a process's command line.
    std::vector<std::wstring> args{L"slot-attempt"};
    std::string word;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i < size && data[i] != 0) {
            word.push_back(static_cast<char>(data[i]));
            continue;
        }
        args.push_back(Utf8ToWide(word));
        word.clear();
    }
    for (const std::wstring& arg : args)
        if (arg == L"--profile")
            return 0; // names a file: not this reader's input
    const ChildArgumentsRead read = DecodeChildArguments(args);
    for (const std::wstring* message : {&read.usage, &read.refusal})
        if (ShownText(*message, message->size()) != *message)
            std::abort();
    if (!read.usage.empty() || !read.refusal.empty())
        return 0;
    const ChildArgumentsRead again = DecodeChildArguments(EncodeChildArguments(read.child));
    const ChildJob &a = read.child, &b = again.child;
    if (!again.usage.empty() || !again.refusal.empty() || a.slot != b.slot || a.serial != b.serial ||
        a.modulePath != b.modulePath || a.job.operation != b.job.operation ||
        a.job.pki.strLabel != b.job.pki.strLabel || a.job.bSetsLimits != b.job.bSetsLimits ||
        a.job.pki.bySoPinMaxRetry != b.job.pki.bySoPinMaxRetry ||
        a.job.pki.byUserPinMaxRetry != b.job.pki.byUserPinMaxRetry ||
        a.job.pki.ulPublicSize != b.job.pki.ulPublicSize ||
        a.job.pki.ulPrivateSize != b.job.pki.ulPrivateSize)
        std::abort();
    return 0;
}
