#include "standin/CallNames.h"

#include <algorithm>
#include <iterator>

namespace {

#define VANTOR_NAME_STRING(name) #name,
constexpr std::string_view kNames[] = {VANTOR_PKCS11_CALLS(VANTOR_NAME_STRING)
                                           VANTOR_AUX_CALLS(VANTOR_NAME_STRING)};
#undef VANTOR_NAME_STRING

} // namespace

bool IsModuleCallName(std::string_view name) {
    return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}
