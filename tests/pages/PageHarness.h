#pragma once
// Both initialisation pages hosted in a test window that owns a binding to the stand-in
// module and is the application's main window, as the program's main window is. Controls
// are driven as an operator drives them (clicks on enabled, visible buttons; typed text), and
// every wait handles the window messages meanwhile instead of sleeping blindly.
#include "win/Afx.h"
#include "wipepage/WipePage.h"
#include "ledger/Ledger.h"
#include "pkipage/PkiPage.h"
#include "stationpage/StationPage.h"
#include "LedgerReader.h"
#include "StandInBench.h"
#include "StatusTexts.h"
#include "win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace pagetest {

constexpr COLORREF kBlack = 0x00000000;
constexpr COLORREF kRed = 0x000000FF;

// The pages as the main window holds them: created hidden over one frame of the test
// program's top-level window, which is the application's main window and owns the binding
// through the pages' host of the moment.
class PageHost {
  public:
    PageHost();
    ~PageHost();
    PageHost(const PageHost&) = delete;
    PageHost& operator=(const PageHost&) = delete;

    // The program with the stand-in bound, or without a binding.
    void SetBound(bool bBound) { workbench.Lend(bBound ? &bench.Module() : nullptr); }
    // The pages write to `ledger` from now on.
    void UseLedger() { workbench.LendLedger(&ledger); }
    // Hides the other pages first, then shows page `index` (0 blank, 1 PKI, 2 station), as
    // the main window does; -1 hides them all.
    void ShowPage(int index);

    StandInBench bench; // declared first: it outlives the pages and their workers
    bool bBound = false;
    // The program's ledger, on a folder of the test's own, emptied for every host, with a
    // clock that stays on one day; the pages reach it only after UseLedger().
    std::filesystem::path ledgerFolder;
    Ledger ledger;
    Workbench workbench; // the binding while bound, no ledger until UseLedger()
    CWipePage blank;
    CPkiPage pki;
    CStationPage station;
};

// A fresh host with the wipe page shown, an empty bench and an empty journal.
class PagesTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs bench lines, failing the test on any line the stand-in refuses.
    void Do(const std::string& lines) { ASSERT_TRUE(host->bench.Command(lines)) << host->bench.Error(); }
    int CallCount(const std::string& name) const;

    std::unique_ptr<PageHost> host;
};

using wintest::FlushEvents;
using wintest::HandlePending;
using wintest::PumpUntil;

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
