// The envelope's content: its lines in their order, values that cannot break a line, and
// refusal of anything an opened envelope might hold that this program never writes.
#include "seal/PinEnvelope.h"

#include <gtest/gtest.h>

#include <string>

namespace {

SecureBytes Bytes(const std::string& text) {
    return SecureBytes(text.data(), text.size());
}

std::string Text(const SecureBytes& bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST(EnvelopeContent, LinesComeInTheirOrderWithValuesEscaped) {
    EnvelopeFields fields;
    fields.serial = "A1\\B";
    fields.label = "财务\n部";
    fields.holder = "张三\r";
    fields.userPin = SecretText(L"04711338");
    fields.time = "2026-12-07 23:59:59";
    fields.station = std::string("S\0x=1", 5);
    fields.operatorName = "李四";
    const SecureBytes content = EnvelopeContent(fields);
    EXPECT_EQ("serial=A1\\\\B\nlabel=财务\\n部\nholder=张三\\r\nuser_pin=04711338\n"
              "time=2026-12-07 23:59:59\nstation=S\\0x=1\noperator=李四\n",
              Text(content));
    const auto read = ReadEnvelopeContent(content);
    ASSERT_TRUE(read);
    EXPECT_EQ(fields.serial, read->serial);
    EXPECT_EQ(fields.label, read->label);
    EXPECT_EQ(fields.holder, read->holder);
    EXPECT_EQ(std::wstring(L"04711338"), read->userPin.c_str());
    EXPECT_EQ(fields.time, read->time);
    EXPECT_EQ(fields.station, read->station);
    EXPECT_EQ(fields.operatorName, read->operatorName);
}

TEST(EnvelopeContent, OnlyTheUserPinIsRequired) {
    const auto read = ReadEnvelopeContent(Bytes("user_pin=密码12\nholder=\n"));
    ASSERT_TRUE(read);
    EXPECT_EQ(std::wstring(L"密码12"), read->userPin.c_str());
    EXPECT_EQ("", read->serial);
}

TEST(EnvelopeContent, WhatThisProgramNeverWritesIsRefused) {
    const std::string hostile[] = {
        "",
        "user_pin=1234",                    // last line not ended
        "user_pin=\n",                      // empty PIN
        "serial=A\n",                       // no PIN
        "user_pin=1\nuser_pin=2\n",         // twice
        "user_pin=1\nserial=A\nserial=B\n", // a field twice
        "user_pin=1\nmood=calm\n",          // unknown key
        "user_pin=1\n\n",                   // empty line
        "user_pin=1\nserial\n",             // no "="
        "user_pin=1\r\n",                   // raw carriage return
        "user_pin=1\\x\n",                  // unknown escape
        "user_pin=1\\\n",                   // escape cut by the line's end
        "user_pin=1\\0\n",                  // a zero character would cut the PIN
        std::string("user_pin=1\0\n", 12),  // a raw zero byte
        "user_pin=1\nlabel=\xC3\x28\n",     // not UTF-8
        "user_pin=1\nlabel=\xED\xA0\x80\n", // a surrogate
        "user_pin=1\nlabel=" + std::string(kEnvelopeContentLimit, 'x') + "\n",
    };
    for (const std::string& text : hostile)
        EXPECT_FALSE(ReadEnvelopeContent(Bytes(text))) << "accepted: " << text.substr(0, 40);
}

} // namespace
