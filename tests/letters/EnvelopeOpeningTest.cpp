// The supervisor's key in each form it may come in, and envelope files that are anything but
// envelopes for it: each opens or is named on the page with why, never skipped, never a crash.
#include "LettersTestSupport.h"

#include <gtest/gtest.h>

namespace {

const char kLetters[] = "pins letters --from 2026-12-06 --to 2026-12-06 --out page.html --key ";

// One envelope; each key form opens it, with its password from VANTOR_KEY_PASSWORD.
TEST(EnvelopeOpening, OpensWithEachFormOfTheKey) {
    LettersFolder folder;
    ASSERT_TRUE(
        folder.MakeKeys() && folder.Openssl("rsa -in key.pem -traditional -out rsa.pem") &&
        folder.Openssl("pkcs8 -topk8 -in key.pem -v2 aes-256-cbc -passout pass:geheim -out enc.pem") &&
        folder.Openssl("pkcs12 -export -inkey key.pem -in cert.pem -passout pass:p12-pass -out key.p12") &&
        folder.Openssl("pkcs12 -export -in cert.pem -nokeys -passout pass: -out nokey.p12"))
        << "openssl is missing or failed";
    ASSERT_TRUE(
        folder.Seal("2026-12-06", "B1-100000.der", LettersFolder::Content("B1", "王小明", "27182818")));
    const struct {
        const char* key;
        const char* environment;
        int exit;
        const char* said;
    } cases[] = {
        {"key.pem", "", 0, "1 封密码函"},
        {"rsa.pem", "", 0, "1 封密码函"},
        {"enc.pem", "VANTOR_KEY_PASSWORD=geheim", 0, "1 封密码函"},
        {"key.p12", "VANTOR_KEY_PASSWORD=p12-pass", 0, "1 封密码函"},
        {"enc.pem", "VANTOR_KEY_PASSWORD=wrong", 2, "密码错误"},
        {"enc.pem", "", 2, "密码错误"}, // no password and no terminal to ask at
        {"key.p12", "VANTOR_KEY_PASSWORD=wrong", 2, "密码错误"},
        {"nokey.p12", "", 2, "没有私钥"},
        {"cert.pem", "", 2, "没有私钥"},
        {"missing.pem", "", 2, "无法读取私钥文件"},
        {"ledger", "", 2, "不是普通文件"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(folder.root / "page.html");
        std::string out, err;
        EXPECT_EQ(c.exit, folder.Cli(kLetters + std::string(c.key), out, err, c.environment))
            << c.key << out << err;
        EXPECT_NE(std::string::npos, (out + err).find(c.said)) << c.key << ": " << out << err;
        EXPECT_EQ(c.exit == 0, Occurrences(folder.Read("page.html"), "27182818") == 1) << c.key;
        EXPECT_EQ(std::string::npos, (out + err).find("27182818")) << c.key;
    }
}

// Each kind of file that bears an envelope's name is listed with why it did not open.
TEST(EnvelopeOpening, ListsEveryFileThatIsNoEnvelopeForTheKey) {
    LettersFolder folder;
    ASSERT_TRUE(folder.MakeKeys()) << "openssl is missing or failed";
    ASSERT_TRUE(folder.Seal("2026-12-06", "A-ok.der", LettersFolder::Content("A", "王小明", "27182818")));
    ASSERT_TRUE(folder.Seal("2026-12-06", "B-other.der", LettersFolder::Content("B", "李四", "16180339"),
                            "othercert.pem"));
    ASSERT_TRUE(folder.Seal("2026-12-06", "C-nopin.der", "serial=C\nholder=x\n"));
    ASSERT_TRUE(folder.Seal("2026-12-06", "D-binary.der", std::string("serial=\xFF\x01\nuser_pin=1\n")));
    folder.Write("ledger/pins/2026-12-06/E-garbage.der", std::string(300, '\x30'));
    folder.Write("ledger/pins/2026-12-06/F-empty.der", "");
    folder.Write("ledger/pins/2026-12-06/G-huge.der", std::string(70 * 1024, '\x30'));
    std::filesystem::create_directories(folder.ledger / "pins/2026-12-06/H-folder.der");
    folder.Write("ledger/pins/2026-12-06/notes.txt", "not an envelope's name");
    folder.Write("ledger/pins/not-a-day/X.der", "");

    std::string out, err;
    ASSERT_EQ(1, folder.Cli(kLetters + std::string("key.pem"), out, err)) << out << err;
    EXPECT_NE(std::string::npos, out.find("1 封密码函，7 个信封未能打开")) << out;
    const std::string page = folder.Read("page.html");
    const struct {
        const char* name;
        const char* why;
    } listed[] = {
        {"B-other.der", "无法用此私钥打开"}, {"C-nopin.der", "内容无效"},
        {"D-binary.der", "内容无效"},        {"E-garbage.der", "无法用此私钥打开"},
        {"F-empty.der", "无法用此私钥打开"}, {"G-huge.der", "文件过大"},
        {"H-folder.der", "不是普通文件"},
    };
    for (const auto& l : listed) {
        const std::size_t at = page.find("pins/2026-12-06/" + std::string(l.name) + "</td><td>");
        ASSERT_NE(std::string::npos, at) << l.name;
        const std::string row = page.substr(at, page.find("</td></tr>", at) - at);
        EXPECT_NE(std::string::npos, row.find(l.why)) << row;
    }
    EXPECT_EQ(std::string::npos, page.find("notes.txt"));
    EXPECT_EQ(std::string::npos, page.find("X.der"));
    EXPECT_EQ(std::string::npos, (out + err).find("27182818"));
}

} // namespace
