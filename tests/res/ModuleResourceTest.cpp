// What Windows reads from the executable itself: the version resource (file properties)
// and the application manifest.
#include "ResourceTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace restest;

namespace {

class VersionResource : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t path[MAX_PATH] = {};
        ASSERT_NE(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeW(path, &ignored);
        ASSERT_NE(size, 0u);
        block_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block_.data()));
    }

    std::wstring String(const wchar_t* name) {
        std::wstring query = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
        wchar_t* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block_.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) ||
            !value)
            return L"(missing)";
        return std::wstring(value, wcsnlen(value, length));
    }

    std::vector<BYTE> block_;
};

} // namespace

TEST_F(VersionResource, FixedVersionIs1_0_12_1224) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block_.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof *fixed);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(1224, 12));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(1224, 12));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(VersionResource, TranslationIsChinesePrcUnicode) {
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block_.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0804);
    EXPECT_EQ(translation[1], 1200);
}

TEST_F(VersionResource, FilePropertiesReadBackInChinese) {
    EXPECT_EQ(String(L"FileDescription"), L"Orbel PKI 初始化工具");
    EXPECT_EQ(String(L"InternalName"), L"Orbel PKI 初始化工具");
    EXPECT_EQ(String(L"OriginalFilename"), L"Vantor.EXE");
    EXPECT_EQ(String(L"ProductName"), L"Vantor 应用程序");
    EXPECT_EQ(String(L"FileVersion"), L"1, 0, 12, 1224");
    EXPECT_EQ(String(L"ProductVersion"), L"1, 0, 12, 1224");
    for (const wchar_t* name : {L"CompanyName", L"LegalCopyright"}) {
        std::wstring value = String(name);
        EXPECT_NE(value, L"(missing)") << name;
        EXPECT_FALSE(value.empty()) << name;
    }
}

TEST(Manifest, AsksForInvokerRightsAndCommonControls6) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)); // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(module, found)));
    ASSERT_NE(text, nullptr);
    std::string manifest(text, SizeofResource(module, found));
    EXPECT_NE(manifest.find(R"(level="asInvoker")"), std::string::npos);
    EXPECT_NE(manifest.find(R"(uiAccess="false")"), std::string::npos);
    const size_t controls = manifest.find(R"(name="Microsoft.Windows.Common-Controls")");
    ASSERT_NE(controls, std::string::npos);
    const std::string identity = manifest.substr(controls, manifest.find("/>", controls) - controls);
    EXPECT_NE(identity.find(R"(version="6.0.0.0")"), std::string::npos);
    EXPECT_NE(identity.find(R"(processorArchitecture="x86")"), std::string::npos);
}

TEST(Manifest, BindsCommonControlsVersion6) {
    // With the manifest in effect the process gets the side-by-side version 6 library, not
    // the system folder's version 5.
    UniqueModule controls(LoadLibraryW(L"comctl32.dll"));
    ASSERT_TRUE(controls);
    wchar_t path[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameW(controls.get(), path, MAX_PATH), 0u);
    std::wstring lower(path);
    for (wchar_t& c : lower)
        c = towlower(c);
    EXPECT_NE(lower.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.0."), std::wstring::npos)
        << lower.c_str();
}
