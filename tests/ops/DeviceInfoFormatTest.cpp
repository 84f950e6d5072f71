// The information page's six texts, from crafted hardware records.
#include "token/DeviceInfoTexts.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

DEVICE_INFO Record(std::uint8_t type = DEVICE_TYPE_PKI) {
    DEVICE_INFO info;
    std::memset(&info, 0, sizeof info);
    info.byDeviceType = type;
    return info;
}

// Guards against fields read in the wrong byte order, at the wrong offset, as signed bytes
// or with the wrong number of digits.
TEST(DeviceInfoFormat, EachFieldAsShown) {
    DEVICE_INFO info = Record();
    const std::uint8_t serial[8] = {0x01, 0xA2, 0x00, 0x00, 0x00, 0x00, 0x3C, 0x4D};
    std::memcpy(info.abySerialNumber, serial, sizeof serial);
    const std::uint8_t atr[16] = {0x3B, 0x9F, 0x95, 0x81, 0x31, 0xFE, 0x9F, 0x00,
                                  0x66, 0x46, 0x53, 0x05, 0x01, 0x00, 0x11, 0xAB};
    std::memcpy(info.abyAtr, atr, sizeof atr);
    const std::uint8_t made[6] = {12, 12, 24, 9, 30, 0};
    std::memcpy(info.abyProductionTime, made, sizeof made);
    info.byCosVersionMajor = 1;
    info.byCosVersionMinor = 5;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&info);
    bytes[70] = 0x02; // total space, little-endian at offset 68: 0x00020000 bytes
    DeviceInfoTexts texts = DescribeDeviceInfo(info);
    EXPECT_EQ(L"01A2000000003C4D", texts.strSerialNumber);
    EXPECT_EQ(L"3B9F958131FE9F0066465305010011AB", texts.strAtr);
    EXPECT_EQ(L"2012-12-24 09:30:00", texts.strProductionTime);
    EXPECT_EQ(L"1.05", texts.strCosVersion);
    EXPECT_EQ(L"128K", texts.strTotalSpace);

    std::memset(info.abySerialNumber, 0xFF, sizeof info.abySerialNumber);
    info.byCosVersionMajor = 255; // unsigned, never negative
    info.byCosVersionMinor = 200;
    info.abyProductionTime[0] = 200; // shown as it is: a five-digit year
    info.abyProductionTime[5] = 255;
    info.ulTotalSpace = 0xFFFFFFFFu;
    texts = DescribeDeviceInfo(info);
    EXPECT_EQ(L"FFFFFFFFFFFFFFFF", texts.strSerialNumber);
    EXPECT_EQ(L"255.200", texts.strCosVersion);
    EXPECT_EQ(L"20200-12-24 09:30:255", texts.strProductionTime);
    EXPECT_EQ(L"4194303K", texts.strTotalSpace);
    info.ulTotalSpace = 1023;
    EXPECT_EQ(L"0K", DescribeDeviceInfo(info).strTotalSpace);

    texts = DescribeDeviceInfo(Record());
    EXPECT_EQ(L"2000-00-00 00:00:00", texts.strProductionTime);
    EXPECT_EQ(std::wstring(32, L'0'), texts.strAtr);
}

TEST(DeviceInfoFormat, TypeNamesAnythingButPkiAndLockReadsBlank) {
    const struct {
        std::uint8_t code;
        const wchar_t* name;
    } cases[] = {{0, L"空锁"}, {1, L"PKI类型"}, {2, L"加密锁类型"}, {3, L"空锁"},
                 {4, L"空锁"}, {5, L"空锁"},    {255, L"空锁"}};
    for (const auto& c : cases)
        EXPECT_EQ(c.name, DescribeDeviceInfo(Record(c.code)).strDeviceType) << "type code " << int{c.code};
}

TEST(DeviceInfoFormat, UnreadBytesHaveNoEffect) {
    DEVICE_INFO clean = Record(DEVICE_TYPE_ENCRYPTION_LOCK);
    clean.byCosVersionMajor = 3;
    clean.byCosVersionMinor = 7;
    clean.ulTotalSpace = 65536;
    clean.abySerialNumber[7] = 0x42;
    clean.abyAtr[0] = 0x3B;
    clean.abyProductionTime[0] = 21;

    DEVICE_INFO noisy = clean;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&noisy);
    const struct { std::size_t offset, size; } unread[] = {{0, 2}, {3, 1}, {22, 20}, {56, 12}, {72, 4}};
    for (const auto& range : unread)
        std::memset(bytes + range.offset, 0xA5, range.size);

    EXPECT_EQ(DescribeDeviceInfo(clean), DescribeDeviceInfo(noisy));
    EXPECT_EQ(L"加密锁类型", DescribeDeviceInfo(noisy).strDeviceType);
}

} // namespace
