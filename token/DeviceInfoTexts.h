#pragma once
// The six texts the information page shows for one hardware record.
#include "token/AuxFunctionList.h"

#include <string>

struct DeviceInfoTexts {
    std::wstring strSerialNumber;   // 16 upper-case hex digits
    std::wstring strCosVersion;     // major.minor, minor in two digits
    std::wstring strProductionTime; // 20YY-MM-DD hh:mm:ss
    std::wstring strTotalSpace;     // whole kilobytes with the suffix K
    std::wstring strAtr;            // 32 upper-case hex digits
    std::wstring strDeviceType;     // type name from the string table, empty when missing

    bool operator==(const DeviceInfoTexts& other) const;
};

// Reads only the named fields of the record; every byte counts as unsigned.
DeviceInfoTexts DescribeDeviceInfo(const DEVICE_INFO& info);
