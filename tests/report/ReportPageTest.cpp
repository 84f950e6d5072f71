// The report of a day as a supervisor sees it: written by vantor-cli, opened in a real browser
// (headless Chromium), its numbers read back from the page and its picture kept.
#include "HeadlessBrowser.h"
#include "ReportTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

using Op = LedgerOperation;
constexpr LedgerOutcome kOk = LedgerOutcome::Success, kFailed = LedgerOutcome::Failure;

// The number in the element with this id; -1 when there is none.
long long Shown(const std::string& dom, const std::string& id) {
    const std::size_t at = dom.find("id=\"" + id + "\">");
    return at == std::string::npos ? -1 : std::atoll(dom.c_str() + at + id.size() + 6);
}

int Browser(const ReportFolder& folder, const std::string& what) {
    return RunChromium(folder.root, what, folder.root / "page.html", folder.root / "dom.html");
}

// Two stations, two operators, three hours of a day: the page shows what the ledger holds.
TEST(ReportPage, ShowsTheLedgersNumbersInABrowser) {
    ASSERT_TRUE(HasChromium())
        << "chromium is missing: the report test opens the page in headless Chromium (Debian package "
           "chromium, "
           "installed by scripts/setup.sh)";
    ReportFolder folder;
    folder.Write(Entry(Op::Wipe, kOk, L"S1"), 9);
    folder.Write(Entry(Op::Wipe, kOk, L"S2"), 9);
    folder.Write(Entry(Op::Wipe, kOk, L"S1"), 9); // S1 again: a duplicate
    folder.Write(Entry(Op::Pki, kFailed, L"S3", L"管理员PIN错误"), 10, "ST-B", "bob");
    folder.Write(Entry(Op::Pki, kOk, L"S3"), 10, "ST-B", "bob");
    folder.Write(Entry(Op::Info, kOk, L"S4"), 10, "ST-B", "bob");
    folder.Write(Entry(Op::Wipe, kFailed, L"S5", L"清空后校验失败"), 14);
    folder.Write(Entry(Op::Pki, kOk, L"X9"), 14); // not on the list
    std::string output;
    const std::string stock =
        folder.File("stock.csv", "serial,box\r\nS1,1\r\nS2,1\r\nS3,2\r\nS5,2\r\nS6,3\r\n");
    ASSERT_EQ(0,
              folder.Cli("report --from 2026-12-06 --to 2026-12-06 --out page.html --stock " + stock, output))
        << output;

    ASSERT_EQ(0, Browser(folder, "--dump-dom"));
    std::ifstream in(folder.root / "dom.html");
    const std::string dom(std::istreambuf_iterator<char>(in), {});
    const struct {
        const char* id;
        long long value;
    } expected[] = {
        {"op-wipe-success", 3}, {"op-wipe-failure", 1}, {"op-pki-success", 2},  {"op-pki-failure", 1},
        {"op-info-success", 1}, {"op-info-failure", 0}, {"op-all-success", 6},  {"op-all-failure", 2},
        {"op-all-total", 8},    {"station-0-total", 5}, {"station-1-total", 3}, {"station-1-failure", 1},
        {"user-0-success", 4},  {"user-1-success", 2},  {"reason-0", 1},        {"reason-1", 1},
        {"duplicates", 1},      {"stock-expected", 5},  {"stock-done", 3},      {"stock-missing", 2},
        {"stock-strangers", 1},
    };
    for (const auto& e : expected)
        EXPECT_EQ(e.value, Shown(dom, e.id)) << e.id;
    EXPECT_NE(std::string::npos, dom.find("<title>9 时：成功 3，失败 0</title>"));
    EXPECT_NE(std::string::npos, dom.find("<title>14 时：成功 1，失败 1</title>"));
    EXPECT_NE(std::string::npos, dom.find("<li>S5</li><li>S6</li>"));
    std::ifstream day(folder.Day(), std::ios::binary);
    const std::string ledger(std::istreambuf_iterator<char>(day), {});
    EXPECT_NE(std::string::npos, dom.find("id=\"last-chain\">" + ledger.substr(ledger.size() - 66, 64)));
    EXPECT_EQ(std::string::npos, dom.find("src=")); // nothing loaded from elsewhere

    const fs::path picture = fs::path(VANTOR_ARTIFACTS_DIR) / "report.png";
    fs::create_directories(picture.parent_path());
    fs::remove(picture);
    ASSERT_EQ(0, Browser(folder, "--window-size=1000,1900 --screenshot='" + picture.string() + "'"));
    std::ifstream png(picture, std::ios::binary);
    char signature[8] = {};
    png.read(signature, sizeof signature);
    EXPECT_EQ(std::string("\x89PNG\r\n\x1A\n", 8), std::string(signature, 8));
    EXPECT_GT(fs::file_size(picture), 20000u); // a drawn page, not an empty one
}

} // namespace
