// A profile is any file: no crash, a refusal carries no control character (the file's bytes
// are never shown raw), and an accepted profile holds values the page would accept.
#include "base/ShownText.h"
#include "pki/PkiProfile.h"
#include "pki/PkiInitRecord.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ProfileRead read = ParseProfile(std::string(reinterpret_cast<const char*>(data), size), L"p.ini");
    if (!read.error.empty()) {
        if (ShownText(read.error, read.error.size()) != read.error)
            std::abort();
        return 0;
    }
    const PkiInitParams& p = read.params;
    if (MakeLabelField(p.strLabel).empty() || p.bySoPinMaxRetry < kRetryMin ||
        p.byUserPinMaxRetry < kRetryMin || p.ulPublicSize > kAreaSizeMax || p.ulPrivateSize > kAreaSizeMax)
        std::abort();
    return 0;
}
