#include "attempt/JobCodec.h"

#include "attempt/ShownOptionName.h"
#include "base/Language.h"
#include "base/Utf8.h"
#include "pki/PkiProfile.h"

#include <climits>
#include <utility>

namespace {

constexpr wchar_t kCommand[] = L"slot-attempt";
constexpr wchar_t kWipe[] = L"wipe";
constexpr wchar_t kInit[] = L"init";
constexpr wchar_t kSlot[] = L"--slot";
constexpr wchar_t kSerial[] = L"--serial";
constexpr wchar_t kModule[] = L"--module";
constexpr wchar_t kProfile[] = L"--profile";
constexpr wchar_t kSet[] = L"--set";
constexpr wchar_t kPinsStdin[] = L"--pins-stdin";

// A slot identifier as the station's listing gave it: any CK_SLOT_ID (a module may number its
// slots far beyond what an option's count reads, as SoftHSM2 does).
bool ParseSlotId(const std::wstring& text, CK_SLOT_ID& slot) {
    if (text.empty() || text.size() > 20 || text.find_first_not_of(L"0123456789") != std::wstring::npos)
        return false;
    unsigned long long value = 0;
    for (const wchar_t digit : text) {
        const unsigned d = static_cast<unsigned>(digit - L'0');
        if (value > (ULLONG_MAX - d) / 10)
            return false; // beyond 64 bits
        value = value * 10 + d;
    }
    slot = static_cast<CK_SLOT_ID>(value);
    return slot == value;
}

// The PIN lines' order, for both sides (`AnyJob`: Job or const Job).
template <class AnyJob> std::vector<decltype(&std::declval<AnyJob&>().soPin)> PinsInLineOrder(AnyJob& job) {
    if (!job.IsPki())
        return {&job.soPin};
    return {&job.pki.strSoPin, &job.pki.strUserPin, &job.pki.strCurrentSoPin};
}

} // namespace

std::vector<std::wstring> EncodeChildArguments(const ChildJob& child) {
    std::vector<std::wstring> arguments{kCommand, child.job.IsPki() ? kInit : kWipe,
                                        kSlot,    std::to_wstring(child.slot),
                                        kSerial,  child.serial};
    if (!child.modulePath.empty())
        arguments.insert(arguments.end(), {kModule, child.modulePath});
    if (child.job.IsPki())
        for (const std::wstring& line : ProfileLines(child.job.pki, child.job.bSetsLimits))
            arguments.insert(arguments.end(), {kSet, line});
    arguments.push_back(kPinsStdin);
    return arguments;
}

SecureBytes EncodeChildPinLines(const Job& job) {
    std::vector<unsigned char, WipingAllocator<unsigned char>> lines;
    for (const SecretText* pin : PinsInLineOrder(job)) {
        const SecureBytes bytes = SecretToUtf8(*pin);
        lines.insert(lines.end(), bytes.data(), bytes.data() + bytes.size());
        lines.push_back('\n');
    }
    return SecureBytes(lines.data(), lines.size());
}

ChildArgumentsRead DecodeChildArguments(const std::vector<std::wstring>& args) {
    ChildArgumentsRead read;
    ChildJob& child = read.child;
    if (args.size() < 2 || args[0] != kCommand || (args[1] != kWipe && args[1] != kInit)) {
        read.usage = Localized(L"slot-attempt 之后应为 wipe 或 init",
                               L"slot-attempt must be followed by wipe or init");
        return read;
    }
    const bool bPki = args[1] == kInit;
    child.job.operation = bPki ? JobOperation::Pki : JobOperation::Wipe;
    bool bSlot = false, bPinsStdin = false;
    std::wstring profilePath;
    std::string settings; // the --set lines, read as a profile
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::wstring& name = args[i];
        if (name == kPinsStdin) {
            bPinsStdin = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            read.usage = Localized(L"选项缺少参数：", L"Option needs a value: ") + ShownOptionName(name);
            return read;
        }
        const std::wstring& value = args[++i];
        if (name == kSlot) {
            if (!ParseSlotId(value, child.slot)) {
                read.usage = Localized(L"--slot 需要一个整数", L"--slot needs a whole number");
                return read;
            }
            bSlot = true;
        } else if (name == kSerial) {
            child.serial = value;
        } else if (name == kModule) {
            child.modulePath = value;
        } else if (name == kProfile && bPki) {
            profilePath = value;
        } else if (name == kSet && bPki) {
            settings += WideToUtf8(value) + "\n";
        } else {
            read.usage = Localized(L"未知选项：", L"Unknown option: ") + ShownOptionName(name);
            return read;
        }
    }
    if (!bSlot || child.serial.empty() || !bPinsStdin) {
        read.usage = Localized(L"slot-attempt 需要 --slot、--serial 和 --pins-stdin",
                               L"slot-attempt needs --slot, --serial and --pins-stdin");
        return read;
    }
    if (bPki) {
        const ProfileRead profile =
            profilePath.empty() ? ParseProfile(settings, L"--set") : ReadProfile(profilePath);
        read.refusal = profile.error;
        child.job.pki = profile.params;
        child.job.bSetsLimits = profile.bSetsLimits;
    }
    return read;
}

ChildPinLineCount ChildPinLines(JobOperation operation) {
    // init: the current SO PIN's line is empty when none was given.
    return operation == JobOperation::Pki ? ChildPinLineCount{3, 2} : ChildPinLineCount{1, 1};
}

std::wstring DecodeChildPinLines(const std::vector<SecretText>& lines, Job& job) {
    const std::vector<SecretText*> pins = PinsInLineOrder(job);
    if (lines.size() != pins.size())
        return Localized(L"标准输入中的PIN行数不足", L"Too few PIN lines on standard input");
    for (std::size_t i = 0; i < pins.size(); ++i)
        *pins[i] = lines[i];
    return CheckJobPins(job);
}
