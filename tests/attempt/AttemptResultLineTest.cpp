// The line a station's child hands its result on: every case of the result survives the trip,
// and a line that is not exactly such a line is refused rather than half read.
#include "attempt/AttemptResultLine.h"
#include "res/StringIds.h"

#include <gtest/gtest.h>

#include <cstring>

// The parts compared field by field (the codec's own concern, so kept here).
bool operator==(const UnreadToken& a, const UnreadToken& b) {
    return a.slot == b.slot;
}
bool operator==(const VendorRecord& a, const VendorRecord& b) {
    return a.slot == b.slot && std::memcmp(&a.info, &b.info, sizeof a.info) == 0;
}
bool operator==(const StandardIdentity& a, const StandardIdentity& b) {
    return a.slot == b.slot && a.serial == b.serial && a.version == b.version;
}
bool operator==(const EndMessage& a, const EndMessage& b) {
    return a.kind == b.kind && a.messageId == b.messageId;
}
bool operator==(const UnknownAnswer&, const UnknownAnswer&) {
    return true;
}
bool operator==(const ReadBackMismatch& a, const ReadBackMismatch& b) {
    return a.prefixId == b.prefixId && a.mismatchId == b.mismatchId;
}
bool operator==(const NotVerified& a, const NotVerified& b) {
    return a.successId == b.successId && a.rv == b.rv;
}

namespace {

AttemptResult Result(AttemptEnd end, CK_RV rv, SeenToken token, AttemptStop stop = AttemptStop::None) {
    AttemptResult result;
    result.end = end;
    result.rv = rv;
    result.token = std::move(token);
    result.stop = stop;
    return result;
}

VendorRecord EveryByteSet() {
    VendorRecord record{0xFFFFFFFFul, {}};
    for (std::size_t i = 0; i < sizeof record.info; ++i)
        reinterpret_cast<unsigned char*>(&record.info)[i] = static_cast<unsigned char>(i * 37 + 1);
    return record;
}

// Every case of each part at least once.
const AttemptResult kCases[] = {
    Result(EndMessage{AttemptKind::NoModule, IDS_INIT_MODULE_FAILED}, 0x30, std::monostate()),
    Result(EndMessage{AttemptKind::Failure, IDS_NO_DEVICE_INFO}, 0x30, UnreadToken{7}),
    Result(UnknownAnswer{}, 0x80000001ul, EveryByteSet(), AttemptStop::SoPinRefused),
    Result(ReadBackMismatch{IDS_PKI_VERIFY_FAILED, IDS_VERIFY_LABEL}, CKR_GENERAL_ERROR,
           StandardIdentity{3, L"01A2 锁%=\n末", L""}),
    Result(NotVerified{IDS_PKI_DONE, 0x54}, CKR_OK, StandardIdentity{0, L"", L"2.3"}),
};

TEST(AttemptResultLine, EveryCaseSurvivesOnOneLineWithoutInnerSpaces) {
    for (const AttemptResult& sent : kCases) {
        const std::string line = EncodeAttemptResultLine(sent);
        SCOPED_TRACE(line);
        EXPECT_EQ(line.find('\n'), std::string::npos);
        EXPECT_EQ(line.find("  "), std::string::npos);
        const std::optional<AttemptResult> received = DecodeAttemptResultLine(line);
        ASSERT_TRUE(received.has_value());
        EXPECT_EQ(received->Kind(), sent.Kind());
        EXPECT_EQ(received->rv, sent.rv);
        EXPECT_TRUE(received->end == sent.end);
        EXPECT_TRUE(received->token == sent.token);
        EXPECT_EQ(received->stop, sent.stop);
    }
}

TEST(AttemptResultLine, AnythingElseIsRefused) {
    const std::string record = EncodeAttemptResultLine(kCases[2]);
    const std::string standard = EncodeAttemptResultLine(kCases[3]);
    auto replaced = [](std::string line, const std::string& from, const std::string& to) {
        return line.replace(line.find(from), from.size(), to);
    };
    const std::string info = record.substr(record.find(" info=") + 6, sizeof(DEVICE_INFO) * 2);
    const std::string bad[] = {
        "",
        "result",
        "progress working",
        record + " ",
        record + " extra=1",
        record + " kind=1",                                      // a key twice
        replaced(record, " stop=so_pin_refused", ""),            // a key missing
        replaced(record, " token=record", " token=unread"),      // a key of another case
        replaced(record, "kind=1", "kind=6"),                    // no such kind
        replaced(record, "kind=1", "kind=0"),                    // an unknown answer succeeds
        replaced(standard, "kind=1", "kind=3"),                  // a mismatch not counted
        replaced(record, "end=unknown_answer", "end=unknown"),   // no such case
        replaced(record, "stop=so_pin_refused", "stop=1"),       // a case by number
        replaced(record, "rv=80000001", "rv=x5"),                // not hex
        replaced(record, "rv=80000001", "rv="),                  // empty
        replaced(record, "rv=80000001", "rv=10000000000000000"), // too long
        replaced(record, info, info.substr(2)),                  // the record one byte short
        replaced(standard, "version=%", "version=%4"),           // a cut escape
        replaced(standard, "serial=", "serial=%G0"),             // not an escape
        replaced(standard, "serial=", "serial"),                 // no value
        replaced(standard, "mismatch=", "mismatch=1FFFF"),       // beyond a string id
        std::string("result kind=1\0 rv=5", 19),                 // a zero byte
    };
    for (const std::string& line : bad)
        EXPECT_FALSE(DecodeAttemptResultLine(line).has_value()) << line;
}

} // namespace
