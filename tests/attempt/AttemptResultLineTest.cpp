// The line a station's child hands its result on: every field survives the trip, and a line
// that is not exactly such a line is refused rather than half read.
#include "attempt/AttemptResultLine.h"
#include "res/StringIds.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

AttemptResult EveryFieldSet() {
    AttemptResult r = EndedWith(AttemptKind::Failure, IDS_PKI_VERIFY_FAILED, CKR_GENERAL_ERROR);
    r.bShowCode = true;
    r.bToken = true;
    r.slot = 0xFFFFFFFFul;
    r.bInfo = true;
    for (std::size_t i = 0; i < sizeof r.info; ++i)
        reinterpret_cast<unsigned char*>(&r.info)[i] = static_cast<unsigned char>(i * 37 + 1);
    r.bStandard = true;
    r.strSerial = L"01A2 锁%=\n末";
    r.strVersion = L"";
    r.bReadBack = true;
    r.readBack = ReadBack::Mismatch(IDS_VERIFY_LABEL);
    r.readBack.rv = 0x80000001ul;
    r.mismatchPrefixId = IDS_PKI_VERIFY_FAILED;
    r.guard = SoPinGuardVerdict::FinalTryDeclined;
    r.bSoPinRefused = true;
    return r;
}

void ExpectSame(const AttemptResult& a, const AttemptResult& b) {
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.messageId, b.messageId);
    EXPECT_EQ(a.bShowCode, b.bShowCode);
    EXPECT_EQ(a.rv, b.rv);
    EXPECT_EQ(a.bToken, b.bToken);
    EXPECT_EQ(a.slot, b.slot);
    EXPECT_EQ(a.bInfo, b.bInfo);
    EXPECT_EQ(std::memcmp(&a.info, &b.info, sizeof a.info), 0);
    EXPECT_EQ(a.bStandard, b.bStandard);
    EXPECT_EQ(a.strSerial, b.strSerial);
    EXPECT_EQ(a.strVersion, b.strVersion);
    EXPECT_EQ(a.bReadBack, b.bReadBack);
    EXPECT_EQ(a.readBack.outcome, b.readBack.outcome);
    EXPECT_EQ(a.readBack.mismatchId, b.readBack.mismatchId);
    EXPECT_EQ(a.readBack.rv, b.readBack.rv);
    EXPECT_EQ(a.mismatchPrefixId, b.mismatchPrefixId);
    EXPECT_EQ(a.guard, b.guard);
    EXPECT_EQ(a.bSoPinRefused, b.bSoPinRefused);
}

TEST(AttemptResultLine, EveryFieldSurvivesOnOneLineWithoutInnerSpaces) {
    for (const AttemptResult& sent : {AttemptResult(), EveryFieldSet()}) {
        const std::string line = EncodeAttemptResultLine(sent);
        EXPECT_EQ(line.find('\n'), std::string::npos);
        EXPECT_EQ(line.find("  "), std::string::npos);
        const std::optional<AttemptResult> received = DecodeAttemptResultLine(line);
        ASSERT_TRUE(received.has_value()) << line;
        ExpectSame(*received, sent);
    }
}

TEST(AttemptResultLine, AnythingElseIsRefused) {
    const std::string good = EncodeAttemptResultLine(EveryFieldSet());
    auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string line = good;
        return line.replace(line.find(from), from.size(), to);
    };
    const std::string info = good.substr(good.find(" info=") + 6, sizeof(DEVICE_INFO) * 2);
    const std::string bad[] = {
        "",
        "result",
        "progress working",
        good + " ",
        good + " extra=1",
        good + " kind=1",                             // a key twice
        replaced(" guard=5", ""),                     // a key missing
        replaced("kind=1", "kind=6"),                 // no such kind
        replaced("guard=5", "guard=6"),               // no such verdict
        replaced("token=1", "token=2"),               // a flag is 0 or 1
        replaced("rv=5", "rv=x5"),                    // not hex
        replaced("rv=5", "rv="),                      // empty
        replaced("rv=5", "rv=10000000000000000"),     // too long
        replaced(info, info.substr(2)),               // the record one byte short
        replaced("version=%", "version=%4"),          // a cut escape
        replaced("serial=", "serial=%G0"),            // not an escape
        replaced("serial=", "serial"),                // no value
        replaced("message=", "message=1FFFF"),        // beyond a string id
        std::string("result kind=1\0 message=1", 24), // a zero byte
    };
    for (const std::string& line : bad)
        EXPECT_FALSE(DecodeAttemptResultLine(line).has_value()) << line;
}

} // namespace
