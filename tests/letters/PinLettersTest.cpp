// The supervisor's letters end to end: envelopes of three days, two of them asked for, one
// sealed to someone else; the page read back as text and printed to PDF in a real browser.
#include "CjkText.h"
#include "HeadlessBrowser.h"
#include "LettersTestSupport.h"

#include <gtest/gtest.h>

namespace {

// The pages of a PDF as Chromium writes it: one "/Type /Page" object a page, beside the
// "/Type /Pages" tree.
std::size_t PdfPages(const std::string& pdf) {
    return Occurrences(pdf, "/Type /Page") - Occurrences(pdf, "/Type /Pages");
}

TEST(PinLetters, WritesOneLetterATokenOfTheSpanAndListsWhatDidNotOpen) {
    ASSERT_TRUE(HasChromium())
        << "chromium is missing (Debian package chromium, installed by scripts/setup.sh)";
    LettersFolder folder;
    ASSERT_TRUE(folder.MakeKeys()) << "openssl is missing or failed";
    ASSERT_TRUE(
        folder.Seal("2026-12-05", "A1-090000.der", LettersFolder::Content("A1", "<b>&\"", "31415926")));
    ASSERT_TRUE(
        folder.Seal("2026-12-06", "B1-100000.der", LettersFolder::Content("B1", "王小明", "27182818")));
    ASSERT_TRUE(folder.Seal("2026-12-06", "B2-110000.der", LettersFolder::Content("B2", "李四", "16180339"),
                            "othercert.pem"));
    ASSERT_TRUE(folder.Seal("2026-12-07", "C1-120000.der", LettersFolder::Content("C1", "赵六", "14142135")));

    std::string out, err;
    ASSERT_EQ(1, folder.Cli("pins letters --from 2026-12-05 --to 2026-12-06 --key key.pem --out page.html",
                            out, err))
        << out << err;
    EXPECT_NE(std::string::npos, out.find("2 封密码函，1 个信封未能打开")) << out;
    EXPECT_NE(std::string::npos, err.find("pins/2026-12-06/B2-110000.der")) << err;
    const std::string page = folder.Read("page.html");
    for (const char* once : {"&lt;b&gt;&amp;&quot;", "A1", "31415926", "王小明", "B1", "27182818",
                             "pins/2026-12-06/B2-110000.der"})
        EXPECT_EQ(1u, Occurrences(page, once)) << once;
    for (const char* never : {"<b>&", "16180339", "李四", "14142135", "C1", "<script", "src=", "http"})
        EXPECT_EQ(0u, Occurrences(page, never)) << never;
    EXPECT_NE(std::string::npos, page.find("<meta charset=\"utf-8\">"));
    EXPECT_NE(std::string::npos, page.find("无法用此私钥打开"));
    for (const char* pin : {"31415926", "27182818", "16180339", "14142135"})
        EXPECT_EQ(std::string::npos, (out + err).find(pin)) << "a PIN on the console";

    // Two letters and the page of what did not open, each on a printed page of its own.
    ASSERT_EQ(0, RunChromium(folder.root, "--print-to-pdf='" + (folder.root / "page.pdf").string() + "'",
                             folder.root / "page.html", folder.root / "chromium.txt"));
    EXPECT_EQ(3u, PdfPages(folder.Read("page.pdf")));

    // All opened: no listing page, exit 0; the --out file is replaced.
    ASSERT_EQ(0, folder.Cli("pins letters --to 2026-12-05 --key key.pem --out page.html", out, err))
        << out << err;
    EXPECT_NE(std::string::npos, out.find("1 封密码函，0 个信封未能打开")) << out;
    EXPECT_EQ(std::string::npos, folder.Read("page.html").find("王小明"));
    ASSERT_EQ(0, RunChromium(folder.root, "--print-to-pdf='" + (folder.root / "one.pdf").string() + "'",
                             folder.root / "page.html", folder.root / "chromium.txt"));
    EXPECT_EQ(1u, PdfPages(folder.Read("one.pdf")));
}

// No envelope in the span, a missing --key or --out, a folder as --out: a clear refusal, exit 2,
// and no page.
TEST(PinLetters, RefusesWithoutWritingAnything) {
    LettersFolder folder;
    ASSERT_TRUE(folder.MakeKeys()) << "openssl is missing or failed";
    ASSERT_TRUE(
        folder.Seal("2026-12-06", "B1-100000.der", LettersFolder::Content("B1", "王小明", "27182818")));
    std::string out, err;
    EXPECT_EQ(2, folder.Cli("pins letters --from 2026-12-01 --to 2026-12-05 --key key.pem --out page.html",
                            out, err));
    EXPECT_NE(std::string::npos, err.find("没有PIN信封")) << err;
    EXPECT_EQ(2, folder.Cli("pins letters --from 2026-12-06 --out page.html", out, err));
    EXPECT_NE(std::string::npos, err.find("--key")) << err;
    EXPECT_EQ(2, folder.Cli("pins letters --from 2026-12-06 --key key.pem", out, err));
    EXPECT_EQ(2, folder.Cli("pins letters --from 2026-12-07 --to 2026-12-06 --key key.pem --out page.html",
                            out, err));
    EXPECT_EQ(2, folder.Cli("pins letters --from 2026-13-01 --key key.pem --out page.html", out, err));
    EXPECT_EQ(2, folder.Cli("pins lettres", out, err));
    EXPECT_FALSE(std::filesystem::exists(folder.root / "page.html"));
    std::filesystem::create_directory(folder.root / "folder.html");
    EXPECT_EQ(2, folder.Cli("pins letters --from 2026-12-06 --key key.pem --out folder.html", out, err));
    EXPECT_NE(std::string::npos, err.find("不是普通文件")) << err;
    EXPECT_EQ(std::string::npos, (out + err).find("27182818"));
}

// With VANTOR_LANG=en the page is the English letter, and the reason an envelope did not open is
// English too: no Chinese but what the envelope itself holds.
TEST(PinLetters, EnglishPageForAnEnglishSupervisor) {
    LettersFolder folder;
    ASSERT_TRUE(folder.MakeKeys()) << "openssl is missing or failed";
    ASSERT_TRUE(
        folder.Seal("2026-12-06", "B1-100000.der", LettersFolder::Content("B1", "Jane Roe", "27182818")));
    ASSERT_TRUE(folder.Seal("2026-12-06", "B2-110000.der",
                            LettersFolder::Content("B2", "John Doe", "16180339"), "othercert.pem"));
    std::string out, err;
    ASSERT_EQ(1, folder.Cli("pins letters --from 2026-12-06 --key key.pem --out page.html", out, err,
                            "VANTOR_LANG=en"))
        << out << err;
    const std::string page = folder.Read("page.html");
    for (const char* shown : {"<html lang=\"en\">", "User PIN letter", "Dear token holder", "Jane Roe",
                              "27182818", "Envelopes not opened", "cannot be opened with this private key"})
        EXPECT_NE(std::string::npos, page.find(shown)) << shown;
    EXPECT_FALSE(HasCjk(page)) << page;
}

} // namespace
