// The bench language's parser on its own: what each line means, and what it refuses.
#include "standin/BenchParser.h"

#include <gtest/gtest.h>

#include <random>

namespace {

template <class Command> const Command& Parsed(const std::string& line) {
    static BenchParse parse;
    parse = ParseBenchLine(line);
    EXPECT_TRUE(parse.ok) << line << ": " << parse.error;
    EXPECT_TRUE(std::holds_alternative<Command>(parse.command)) << line;
    static const Command none{};
    return std::holds_alternative<Command>(parse.command) ? std::get<Command>(parse.command) : none;
}

std::string Text(const SecureBytes& bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST(BenchParser, EveryInsertKey) {
    const auto& insert = Parsed<BenchInsert>(
        "insert 63 type=lock so=so-pin user=u1 so-max=9 so-left=2 user-max=255 user-left=0 label=中文 "
        "serial=01a2000000003C4D atr=3B00112233445566778899AABBCCDDEE cos=1.05 made=12-12-24-9-30-0 "
        "total=0x10000 public=30000 private=4294967295");
    EXPECT_EQ(63u, insert.slot);
    const TokenSpec& t = insert.token;
    EXPECT_EQ(2, *t.type);
    EXPECT_EQ("so-pin", Text(*t.soPin));
    EXPECT_EQ("u1", Text(*t.userPin));
    EXPECT_EQ(9, *t.soMax);
    EXPECT_EQ(2, *t.soLeft);
    EXPECT_EQ(255, *t.userMax);
    EXPECT_EQ(0, *t.userLeft);
    EXPECT_EQ("中文", *t.label);
    EXPECT_EQ((std::array<std::uint8_t, 8>{0x01, 0xA2, 0, 0, 0, 0, 0x3C, 0x4D}), *t.serial);
    EXPECT_EQ(0xEE, (*t.atr)[15]);
    EXPECT_EQ((std::array<std::uint8_t, 2>{1, 5}), *t.cos);
    EXPECT_EQ((std::array<std::uint8_t, 6>{12, 12, 24, 9, 30, 0}), *t.made);
    EXPECT_EQ(65536u, *t.totalSpace);
    EXPECT_EQ(30000u, *t.publicSize);
    EXPECT_EQ(4294967295u, *t.privateSize);

    const auto& plain = Parsed<BenchInsert>("insert 0");
    EXPECT_FALSE(plain.token.type || plain.token.soPin || plain.token.label || plain.token.totalSpace);
    EXPECT_EQ(4, *Parsed<BenchInsert>("insert 1 type=blank").token.type);
    EXPECT_EQ(1, *Parsed<BenchInsert>("insert 1 type=pki").token.type);
    EXPECT_EQ(3, *Parsed<BenchInsert>("insert 1 type=3").token.type);
    EXPECT_EQ("", *Parsed<BenchInsert>("insert 1 label=").token.label);
}

TEST(BenchParser, OtherCommands) {
    Parsed<BenchReset>("reset");
    Parsed<BenchDefault>("  default  ");
    Parsed<BenchClearFaults>("clear-faults");
    Parsed<BenchClearJournal>("clear-journal\r");
    Parsed<BenchNothing>("");
    Parsed<BenchNothing>("   # only a comment");
    EXPECT_EQ(64u, Parsed<BenchSlots>("slots 64").count);
    EXPECT_EQ(7u, Parsed<BenchRemove>("remove 7 # pulled").slot);

    const auto& once = Parsed<BenchFail>("fail E_InitPkiToken 0xA0");
    EXPECT_EQ("E_InitPkiToken", once.call);
    EXPECT_EQ(0xA0u, once.code);
    EXPECT_FALSE(once.always);
    EXPECT_TRUE(Parsed<BenchFail>("fail C_Initialize 401 always").always);
    EXPECT_FALSE(Parsed<BenchFail>("fail C_GetFunctionList 6 once").always);
    EXPECT_EQ(0xFFFFFFFFu, Parsed<BenchFail>("fail E_GetAuxFunctionList 0xFFFFFFFF").code);

    const auto& churn = Parsed<BenchChurn>("churn 5 10000 type=blank label=X");
    EXPECT_EQ(5u, churn.slot);
    EXPECT_EQ(10000u, churn.count);
    EXPECT_EQ(4, *churn.token.type);
    EXPECT_EQ("X", *churn.token.label);
    EXPECT_FALSE(Parsed<BenchChurn>("churn 0 1").token.type);

    const auto& delay = Parsed<BenchDelay>("\tdelay\tC_WaitForSlotEvent\t250");
    EXPECT_EQ("C_WaitForSlotEvent", delay.call);
    EXPECT_EQ(250u, delay.milliseconds);
}

TEST(BenchParser, RefusesWithAReason) {
    const std::string refused[] = {
        "insert",
        "insert x",
        "insert 64",
        "insert -1",
        "insert 0 type",
        "insert 0 type=dongle",
        "insert 0 type=256",
        "insert 0 so-max=0",
        "insert 0 user-max=256",
        "insert 0 label=123456789012345678901234567890123",
        "insert 0 serial=01A2000000003C4",
        "insert 0 serial=01A2000000003C4G",
        "insert 0 atr=3B",
        "insert 0 cos=1",
        "insert 0 cos=1.2.3",
        "insert 0 cos=256.0",
        "insert 0 made=12-12-24-9-30",
        "insert 0 made=12-12-24-9-30-0-1",
        "insert 0 made=12-12-24-9-30-+1",
        "insert 0 total=4294967296",
        "insert 0 public=0x",
        "insert 0 so=" + std::string(65, 'x'),
        "remove",
        "remove 1 2",
        "slots",
        "slots 0",
        "fail",
        "fail C_Initialize",
        "fail C_Nothing 6",
        "fail C_Initialize 6 twice",
        "fail C_Initialize 0x100000000",
        "delay C_Initialize 600001",
        "delay C_Initialize -5",
        "churn",
        "churn 0",
        "churn 64 2",
        "churn 0 0",
        "churn 0 1000001",
        "churn 0 -1",
        "churn 0 2 type=dongle",
        "churn 0 2 blank",
        "default please",
        "plug 0",
    };
    for (const std::string& line : refused) {
        BenchParse parse = ParseBenchLine(line);
        EXPECT_FALSE(parse.ok) << line;
        EXPECT_FALSE(parse.error.empty()) << line;
    }
}

TEST(BenchParser, LimitsAreInclusive) {
    EXPECT_TRUE(ParseBenchLine("insert 0 label=" + std::string(32, 'L')).ok);
    EXPECT_TRUE(ParseBenchLine("insert 0 so=" + std::string(64, 'x')).ok);
    EXPECT_TRUE(ParseBenchLine("insert 0 made=255-255-255-255-255-255").ok);
    EXPECT_TRUE(ParseBenchLine("delay C_Finalize 600000").ok);
    EXPECT_TRUE(ParseBenchLine("slots 1").ok);
    EXPECT_TRUE(ParseBenchLine("churn 63 1000000").ok);
}

TEST(BenchParser, ArbitraryBytesNeverCrash) {
    // A quick stand-in for the fuzzer: random lines built from the language's own pieces.
    const std::string pieces[] = {"insert", "remove", "fail", "delay", "slots", " ",    "=",
                                  "0x",     "#",      "\r",   "type",  "so",    "made", "-",
                                  ".",      "9",      "FF",   "\xE4",  "\0",    "label"};
    std::mt19937 random(20121224);
    for (int i = 0; i < 20000; ++i) {
        std::string line;
        const int parts = static_cast<int>(random() % 12);
        for (int p = 0; p < parts; ++p) {
            if (random() % 4 == 0)
                line += static_cast<char>(random() % 256);
            else
                line += pieces[random() % (sizeof pieces / sizeof pieces[0])];
        }
        BenchParse parse = ParseBenchLine(line);
        EXPECT_EQ(parse.ok, parse.error.empty()) << line;
    }
}

} // namespace
