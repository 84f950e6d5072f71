#include "token/DeviceInfoTexts.h"

#include "base/HexText.h"
#include "res/StringIds.h"
#include "token/DeviceType.h"
#include "res/StringTable.h"

#include <cstdarg>
#include <cstddef>
#include <cwchar>

namespace {

std::wstring Printf(const wchar_t* format, ...) {
    wchar_t text[64];
    va_list args;
    va_start(args, format);
    int n = std::vswprintf(text, sizeof text / sizeof text[0], format, args);
    va_end(args);
    return n < 0 ? std::wstring() : std::wstring(text, static_cast<std::size_t>(n));
}

// Code 4 and every unrecognised code alike read as blank.
unsigned TypeNameId(std::uint8_t deviceType) {
    switch (DeviceTypeOf(deviceType)) {
    case DeviceType::kPki:
        return IDS_TYPE_PKI;
    case DeviceType::kLock:
        return IDS_TYPE_ENCRYPTION_LOCK;
    case DeviceType::kBlank:
    case DeviceType::kUnknown:
        break;
    }
    return IDS_TYPE_BLANK;
}

} // namespace

bool DeviceInfoTexts::operator==(const DeviceInfoTexts& other) const {
    return strSerialNumber == other.strSerialNumber && strCosVersion == other.strCosVersion &&
           strProductionTime == other.strProductionTime && strTotalSpace == other.strTotalSpace &&
           strAtr == other.strAtr && strDeviceType == other.strDeviceType;
}

DeviceInfoTexts DescribeDeviceInfo(const DEVICE_INFO& info) {
    const std::uint8_t* made = info.abyProductionTime;
    DeviceInfoTexts texts;
    texts.strSerialNumber = WideHexText(info.abySerialNumber, sizeof info.abySerialNumber);
    texts.strCosVersion =
        Printf(L"%u.%02u", unsigned{info.byCosVersionMajor}, unsigned{info.byCosVersionMinor});
    // A year byte above 99 gives a five-digit year: the byte is shown as it is.
    texts.strProductionTime =
        Printf(L"20%02u-%02u-%02u %02u:%02u:%02u", unsigned{made[0]}, unsigned{made[1]}, unsigned{made[2]},
               unsigned{made[3]}, unsigned{made[4]}, unsigned{made[5]});
    texts.strTotalSpace = Printf(L"%uK", static_cast<unsigned>(info.ulTotalSpace / 1024));
    texts.strAtr = WideHexText(info.abyAtr, sizeof info.abyAtr);
    texts.strDeviceType = LoadStringDirect(TypeNameId(info.byDeviceType));
    return texts;
}
