#include "base/ShownPath.h"

#include "base/ShownText.h"
#include "base/Utf8.h"

namespace {

constexpr std::size_t kShownPathMaxBytes = 1024; // room for a deep folder, never a flood

} // namespace

std::string ShownPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return ShownText(WideToUtf8(path.native()), kShownPathMaxBytes);
#else
    return ShownText(path.native(), kShownPathMaxBytes);
#endif
}
