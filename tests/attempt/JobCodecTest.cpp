// The job a station hands its child: every value survives the command line and the PIN lines,
// no PIN is among the arguments, and a command line that is no child's is refused with the
// message the console has always given.
#include "attempt/JobCodec.h"
#include "base/Utf8.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

ChildJob Wipe() {
    ChildJob child;
    child.slot = 3;
    child.serial = L"00000000000000A1";
    child.job.soPin = SecretText(L"Kw5Zp9");
    return child;
}

ChildJob Init(bool bStandard, const wchar_t* currentSoPin) {
    ChildJob child;
    child.slot = std::numeric_limits<CK_SLOT_ID>::max(); // modules may number their slots far out
    child.serial = L"E1 序列";
    child.modulePath = L"/opt/my modules/token 模块.so";
    Job& job = child.job;
    job.operation = JobOperation::Pki;
    job.pki.strSoPin = SecretText(L"NewSo密码1");
    job.pki.strUserPin = SecretText(L"User99");
    job.pki.strLabel = L"Orbel";
    job.bSetsLimits = !bStandard;
    if (!bStandard) {
        job.pki.bySoPinMaxRetry = 3;
        job.pki.byUserPinMaxRetry = 255;
        job.pki.ulPublicSize = 0;
        job.pki.ulPrivateSize = 65535;
    }
    job.pki.strCurrentSoPin = SecretText(currentSoPin);
    return child;
}

ChildJob Labelled(const wchar_t* label) {
    ChildJob child = Init(false, L"");
    child.job.pki.strLabel = label;
    return child;
}

std::wstring Text(const SecretText& pin) {
    return pin.c_str();
}

// The PIN lines as the child's reader hands them on: split at each line feed.
std::vector<SecretText> Lines(const SecureBytes& bytes) {
    std::vector<SecretText> lines;
    const char* data = reinterpret_cast<const char*>(bytes.data());
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (data[i] == '\n') {
            lines.push_back(Utf8ToSecret(data + start, i - start));
            start = i + 1;
        }
    EXPECT_EQ(start, bytes.size()) << "the last line ends with a line feed";
    return lines;
}

TEST(JobCodec, EveryValueSurvivesTheTrip) {
    const std::vector<ChildJob> jobs = {Wipe(),
                                        Init(false, L""),
                                        Init(true, L"Old5o"),
                                        Init(true, L""),
                                        Labelled(L"  two  spaces  "),
                                        Labelled(L"锁 标签=a=b"),
                                        Labelled(L"\"quoted\""),
                                        Labelled(L"#;[x]")};
    for (const ChildJob& sent : jobs) {
        SCOPED_TRACE(WideToUtf8(sent.job.pki.strLabel) + (sent.job.IsPki() ? " init" : " wipe"));
        const std::vector<std::wstring> args = EncodeChildArguments(sent);
        const Job& job = sent.job;
        for (const std::wstring& arg : args)
            for (const SecretText* pin :
                 {&job.soPin, &job.pki.strSoPin, &job.pki.strUserPin, &job.pki.strCurrentSoPin})
                EXPECT_TRUE(pin->length() == 0 || arg.find(pin->c_str()) == std::wstring::npos);
        ChildArgumentsRead read = DecodeChildArguments(args);
        ASSERT_EQ(read.usage, L"");
        ASSERT_EQ(read.refusal, L"");
        const SecureBytes pinLines = EncodeChildPinLines(sent.job);
        const std::vector<SecretText> lines = Lines(pinLines);
        ASSERT_EQ(lines.size(), ChildPinLines(sent.job.operation).count);
        ASSERT_EQ(DecodeChildPinLines(lines, read.child.job), L"");

        const ChildJob& got = read.child;
        EXPECT_EQ(got.slot, sent.slot);
        EXPECT_EQ(got.serial, sent.serial);
        EXPECT_EQ(got.modulePath, sent.modulePath);
        EXPECT_EQ(got.job.operation, sent.job.operation);
        EXPECT_EQ(Text(got.job.soPin), Text(sent.job.soPin));
        const PkiInitParams& a = got.job.pki;
        const PkiInitParams& b = sent.job.pki;
        if (!sent.job.IsPki())
            continue;
        EXPECT_EQ(got.job.bSetsLimits, sent.job.bSetsLimits);
        EXPECT_EQ(Text(a.strSoPin), Text(b.strSoPin));
        EXPECT_EQ(Text(a.strUserPin), Text(b.strUserPin));
        EXPECT_EQ(Text(a.strCurrentSoPin), Text(b.strCurrentSoPin));
        EXPECT_EQ(a.strLabel, b.strLabel);
        EXPECT_EQ(a.bySoPinMaxRetry, b.bySoPinMaxRetry);
        EXPECT_EQ(a.byUserPinMaxRetry, b.byUserPinMaxRetry);
        EXPECT_EQ(a.ulPublicSize, b.ulPublicSize);
        EXPECT_EQ(a.ulPrivateSize, b.ulPrivateSize);
    }
}

TEST(JobCodec, WritesTheChildsCommandLineAndPinLines) {
    using Args = std::vector<std::wstring>;
    EXPECT_EQ(EncodeChildArguments(Wipe()), (Args{L"slot-attempt", L"wipe", L"--slot", L"3", L"--serial",
                                                  L"00000000000000A1", L"--pins-stdin"}));
    ChildJob vendor = Init(false, L"");
    vendor.modulePath = L"m.so";
    vendor.slot = 1;
    EXPECT_EQ(
        EncodeChildArguments(vendor),
        (Args{L"slot-attempt", L"init", L"--slot", L"1", L"--serial", L"E1 序列", L"--module", L"m.so",
              L"--set", L"label=Orbel", L"--set", L"so_pin_max_retry=3", L"--set", L"user_pin_max_retry=255",
              L"--set", L"public_size=0", L"--set", L"private_size=65535", L"--pins-stdin"}));
    // A module without the vendor extension sets no limit; its current SO PIN's line may be empty.
    ChildJob standard = Init(true, L"");
    standard.modulePath.clear();
    EXPECT_EQ(EncodeChildArguments(standard),
              (Args{L"slot-attempt", L"init", L"--slot", std::to_wstring(standard.slot), L"--serial",
                    L"E1 序列", L"--set", L"label=Orbel", L"--pins-stdin"}));
    const SecureBytes lines = EncodeChildPinLines(standard.job);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(lines.data()), lines.size()),
              "NewSo\xE5\xAF\x86\xE7\xA0\x81"
              "1\nUser99\n\n");
}

TEST(JobCodec, RefusesWhatNoStationWrites) {
    using Args = std::vector<std::wstring>;
    const std::wstring need = L"slot-attempt 需要 --slot、--serial 和 --pins-stdin";
    const std::pair<Args, std::wstring> usages[] = {
        {{L"slot-attempt"}, L"slot-attempt 之后应为 wipe 或 init"},
        {{L"slot-attempt", L"format", L"--pins-stdin"}, L"slot-attempt 之后应为 wipe 或 init"},
        {{L"slot-attempt", L"wipe", L"--serial"}, L"选项缺少参数：--serial"},
        {{L"slot-attempt", L"wipe", L"--so-pin1234"}, L"选项缺少参数：--so-pin"},
        {{L"slot-attempt", L"wipe", L"--slot", L"-1"}, L"--slot 需要一个整数"},
        {{L"slot-attempt", L"wipe", L"--slot", L"18446744073709551616"}, L"--slot 需要一个整数"},
        {{L"slot-attempt", L"wipe", L"--set", L"label=x"}, L"未知选项：--set"},
        {{L"slot-attempt", L"init", L"--so-pin=Kw5Zp9", L"x"}, L"未知选项：--so-pin"},
        {{L"slot-attempt", L"init", L"--sopinKw5Zp9", L"x"}, L"未知选项：--…"},
        {{L"slot-attempt", L"init", L"Kw5Zp9", L"x"}, L"未知选项："},
        {{L"slot-attempt", L"wipe", L"--slot", L"0", L"--serial", L"S"}, need},
        {{L"slot-attempt", L"wipe", L"--slot", L"0", L"--serial", L"", L"--pins-stdin"}, need},
        {{L"slot-attempt", L"wipe", L"--serial", L"S", L"--pins-stdin"}, need},
    };
    for (const auto& usage : usages) {
        SCOPED_TRACE(WideToUtf8(usage.second));
        EXPECT_EQ(DecodeChildArguments(usage.first).usage, usage.second);
    }

    // Values the page would refuse fail the attempt on its token, named by line; so does a
    // profile file that cannot be read.
    const Args init = {L"slot-attempt", L"init", L"--slot", L"0", L"--serial", L"S", L"--pins-stdin"};
    auto with = [&](const Args& options) {
        Args args = init;
        args.insert(args.end() - 1, options.begin(), options.end());
        return DecodeChildArguments(args);
    };
    EXPECT_EQ(with({L"--set", L"label=a", L"--set", L"so_pin_max_retry=0"}).refusal,
              L"--set，第2行：so_pin_max_retry：请输入一个介于 1 和 255 之间的整数。");
    EXPECT_NE(with({L"--set", L"label=" + std::wstring(32, L'x')}).refusal, L"");
    const ChildArgumentsRead missing = with({L"--profile", L"/nonexistent/p.ini"});
    EXPECT_EQ(missing.usage, L"");
    EXPECT_EQ(missing.refusal.rfind(L"无法读取配置文件：/nonexistent/p.ini，", 0), 0u)
        << WideToUtf8(missing.refusal);

    // PINs the page would refuse.
    Job wipe;
    EXPECT_NE(DecodeChildPinLines({SecretText(std::wstring(101, L'x').c_str())}, wipe), L"");
    Job pki;
    pki.operation = JobOperation::Pki;
    EXPECT_NE(DecodeChildPinLines({SecretText(L"123"), SecretText(L"User99"), SecretText(L"")}, pki), L"");
    EXPECT_EQ(DecodeChildPinLines({SecretText(L"Kw5Zp9")}, pki), L"标准输入中的PIN行数不足");
}

} // namespace
