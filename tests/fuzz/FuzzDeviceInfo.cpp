// Any 76 bytes the module may hand back must format into six bounded texts: at most
// "20255-255-255 255:255:255", "255.255" and "4194303K".
#include "token/DeviceInfoTexts.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DEVICE_INFO info{};
    std::memcpy(&info, data, size < sizeof info ? size : sizeof info);
    DeviceInfoTexts texts = DescribeDeviceInfo(info);
    if (texts.strSerialNumber.size() != 16 || texts.strAtr.size() != 32 ||
        texts.strProductionTime.size() > 25 || texts.strCosVersion.size() > 7 ||
        texts.strTotalSpace.size() > 8)
        std::abort();
    return 0;
}
