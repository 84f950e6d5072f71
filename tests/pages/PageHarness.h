#pragma once
// Both initialisation pages hosted in a test window that owns a binding to the stand-in
// module and is the application's main window, as the program's main window is. Controls
// are driven as an operator drives them (clicks on enabled, visible buttons; typed text), and
// every wait handles the window messages meanwhile instead of sleeping blindly.
#include "win/Afx.h"
#include "blank/BlankPage.h"
#include "ledger/Ledger.h"
#include "pki/PkiPage.h"
#include "StandInBench.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace pagetest {

// The texts an operator reads, written out here rather than taken from the string table.
namespace msg {
inline const std::wstring kInitModuleFailed = L"初始化运行时库失败，清检查运行时环境是否安装正确！"; // 106
inline const std::wstring kInsertAndStart = L"请插入USBKey并点击初始化按钮进行初始化";               // 107
inline const std::wstring kOneTokenOnly = L"一次只能对一支USBKey进行操作，请移除多余的USBKey";       // 108
inline const std::wstring kBlankDone = L"初始化为空锁成功，请更换USBKey";                            // 109
inline const std::wstring kSoPinWrong = L"管理员PIN错误";                                            // 111
inline const std::wstring kInsertToken = L"请插入USBKey";                                            // 113
inline const std::wstring kPkiDone = L"初始化为PKI应用成功，请更换USBKey";                           // 114
inline const std::wstring kAlreadyBlank = L"已经是空锁类型了";                                       // 120
inline const std::wstring kEncryptionLock = L"该锁为加密锁类型，无法进行初始化";                     // 121
inline const std::wstring kPinLength = L"PIN长度不正确，请输入4-32个字符。";                         // 124
} // namespace msg

constexpr COLORREF kBlack = 0x00000000;
constexpr COLORREF kRed = 0x000000FF;

// Both pages as the main window holds them: created hidden over one frame of the test
// program's top-level window, which is the application's main window and owns the binding
// through the pages' host of the moment.
class PageHost {
  public:
    PageHost();
    ~PageHost();
    PageHost(const PageHost&) = delete;
    PageHost& operator=(const PageHost&) = delete;

    // Null while `bBound` is false: the program without a binding.
    TokenModule* GetTokenModule() { return bBound ? &bench.Module() : nullptr; }
    // Hides the other page first, then shows page `index` (0 blank, 1 PKI), as the main
    // window does; -1 hides both.
    void ShowPage(int index);

    StandInBench bench; // declared first: it outlives the pages and their workers
    bool bBound = false;
    // The program's ledger, on a folder of the test's own, emptied for every host; the pages
    // reach it only while `bLedger` is set.
    std::filesystem::path ledgerFolder;
    Ledger ledger;
    bool bLedger = false;
    CBlankPage blank;
    CPkiPage pki;
};

// A fresh host with the blank page shown, an empty bench and an empty journal.
class PagesTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs bench lines, failing the test on any line the stand-in refuses.
    void Do(const std::string& lines) { ASSERT_TRUE(host->bench.Command(lines)) << host->bench.Error(); }
    int CallCount(const std::string& name) const;

    std::unique_ptr<PageHost> host;
};

// Handles every message of this thread for `ms` milliseconds.
void Pump(DWORD ms);
// Handles messages until `done` holds or `timeoutMs` has passed; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// The lines of every day file in `folder` after their header, each as its named fields.
using LedgerRecord = std::map<std::string, std::string>;
std::vector<LedgerRecord> ReadLedger(const std::filesystem::path& folder);
std::string Utf8(const std::wstring& text);

HWND Item(const CWnd& page, int id);
std::wstring Text(const CWnd& page, int id);
bool Enabled(const CWnd& page, int id);
// WS_VISIBLE of the control itself, whatever its page shows.
bool Shown(const CWnd& page, int id);
CRect Place(const CWnd& page, int id);
// What typing into the field leaves in it.
void Type(const CWnd& page, int id, const std::wstring& text);
// A mouse click as the operator gives it: only on an enabled, shown button. False when the
// button could not have been clicked.
bool Click(const CWnd& page, int id);

} // namespace pagetest
