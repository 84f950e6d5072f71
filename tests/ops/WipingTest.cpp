// Secrets are wiped before their memory goes back to the heap: the PINs as typed, their byte
// forms for the module, copies and reallocations, the label field, the record pointing at
// them, and whatever an attempt against the module made of them. Every freed block is read
// (FreedBytes) before the heap gets it back.
#include "BenchTest.h"
#include "FreedBytes.h"
#include "base/TextEncoding.h"
#include "wipe/WipeToken.h"
#include "pki/PkiInit.h"

#include <memory>

namespace {

// Long enough that no string keeps them in an inline buffer.
const char* const kSecrets[] = {"So-secret-7731", "User-secret-4410", "Label-secret-2"};
const wchar_t* const kWide[] = {L"So-secret-7731", L"User-secret-4410", L"Label-secret-2"};

void ExpectNothingLeft(const FreedBytes& freed, int secrets = 3) {
    EXPECT_GT(freed.Blocks(), 0u) << "nothing was freed";
    for (int i = 0; i < secrets; ++i) {
        EXPECT_EQ(freed.Holding(kSecrets[i]), 0) << kSecrets[i];
        EXPECT_EQ(freed.Holding(kWide[i]), 0) << kSecrets[i];
    }
}

PkiInitParams SecretParams() {
    PkiInitParams params;
    params.strSoPin = kWide[0];
    params.strUserPin = kWide[1];
    params.strLabel = kWide[2];
    return params;
}

// Guards against SecureWipe or the wiping allocator leaving bytes behind.
TEST(Wiping, SecretTextsAndBytesAreZeroWhenFreed) {
    const std::wstring label = kWide[2];
    FreedBytes freed;
    {
        SecretText pin(kWide[0]);
        SecretText copy = pin;
        copy = SecretText(kWide[1]); // the copy's storage replaced
        SecureBytes bytes = WideToMultiByte(pin, CP_UTF8);
        SecureBytes again = bytes;
        again = WideToMultiByte(copy, CP_UTF8);
        const SecureBytes field = MakeLabelField(label);
    }
    ExpectNothingLeft(freed);
}

// Guards against a record that keeps its pointers and values, or PIN bytes of the record's
// conversions left behind.
TEST(Wiping, TheRecordIsZeroWhenFreed) {
    const PkiInitParams params = SecretParams();
    FreedBytes freed;
    auto record = std::make_unique<PkiInitRecord>(params);
    ASSERT_TRUE(record->IsValid());
    const std::size_t at =
        reinterpret_cast<const char*>(record->Record()) - reinterpret_cast<char*>(record.get());
    freed.Watch(record.get());
    record.reset();
    const std::string bytes = freed.Watched();
    ASSERT_GE(bytes.size(), at + sizeof(PKI_INIT_PARAM));
    EXPECT_EQ(bytes.substr(at, sizeof(PKI_INIT_PARAM)), std::string(sizeof(PKI_INIT_PARAM), '\0'));
    ExpectNothingLeft(freed);
}

class WipingAttempts : public BenchTest {};

// Guards against an attempt's conversions of the PINs (ANSI code page) freed unwiped.
TEST_F(WipingAttempts, LeaveNoPinBehind) {
    const PkiInitParams pki = SecretParams();
    WipeParams blank;
    blank.strSoPin = kWide[0];
    Do("insert 0 type=blank");
    {
        FreedBytes freed;
        EXPECT_EQ(RunRecorded([&](AttemptProgress& p) { return InitialisePkiToken(&bench.Module(), pki, p); },
                              reporter),
                  CKR_OK);
        EXPECT_EQ(
            RunRecorded([&](AttemptProgress& p) { return WipeToken(&bench.Module(), blank, p); }, reporter),
            CKR_OK);
        ExpectNothingLeft(freed, 2); // the stand-in's journal shows the label
    }
    EXPECT_EQ(reporter.reports.back(), Success(true, msg::kBlankDone));
}

} // namespace
