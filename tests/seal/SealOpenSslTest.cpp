// The supervisor's certificate and the sealing, checked by the openssl command line as an
// independent witness: it makes the certificates, opens the envelopes and names their cipher.
#include "seal/EnvelopeFile.h"
#include "seal/PinEnvelope.h"
#include "seal/SealCertificate.h"

#include "base/RegularFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

int Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str());
}

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, got);
        pclose(pipe);
    }
    return out;
}

std::string FileText(const fs::path& path) {
    std::string bytes;
    ReadRegularFile(path, 1 << 20, bytes);
    return bytes;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Certificates made once for the whole program, in its own working folder.
class Seal : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(0, Shell("command -v openssl")) << "the openssl command is needed as witness";
        fs::remove_all("certs");
        fs::create_directory("certs");
        ASSERT_EQ(
            0, Shell("openssl req -x509 -newkey rsa:2048 -nodes -days 30 -utf8 -subj '/O=Vantor/CN=主管 王五'"
                     " -keyout certs/rsa.key -out certs/rsa.pem"));
        ASSERT_EQ(0, Shell("openssl x509 -in certs/rsa.pem -outform DER -out certs/rsa.der"));
        ASSERT_EQ(0,
                  Shell("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 30"
                        " -subj /CN=ec -keyout certs/ec.key -out certs/ec.pem"));
    }
};

TEST_F(Seal, CertificatesLoadFromPemAndDerWithAnRsaKeyOnly) {
    const SealCertificateLoad pem = LoadSealCertificate("certs/rsa.pem");
    ASSERT_TRUE(pem.certificate) << pem.problem;
    EXPECT_EQ("主管 王五", pem.certificate->subject);
    EXPECT_EQ(FileText("certs/rsa.der"),
              std::string(pem.certificate->der.begin(), pem.certificate->der.end()));

    std::string crlf = "Certificate of the supervisor\r\nsubject=...\r\n";
    for (char c : FileText("certs/rsa.pem"))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    WriteFile("certs/crlf.pem", crlf);
    const SealCertificateLoad withText = LoadSealCertificate("certs/crlf.pem");
    ASSERT_TRUE(withText.certificate) << withText.problem;
    EXPECT_EQ(pem.certificate->der, withText.certificate->der);

    const SealCertificateLoad der = LoadSealCertificate("certs/rsa.der");
    ASSERT_TRUE(der.certificate) << der.problem;
    EXPECT_EQ(pem.certificate->der, der.certificate->der);

    EXPECT_EQ("证书的公钥不是RSA密钥", LoadSealCertificate("certs/ec.pem").problem);
}

TEST_F(Seal, AnythingElseIsRefusedWithItsReason) {
    WriteFile("certs/empty", "");
    WriteFile("certs/garbage", "-----BEGIN CERTIFICATE-----\nnot base64 at all\n-----END CERTIFICATE-----\n");
    WriteFile("certs/key.pem", FileText("certs/rsa.key"));
    WriteFile("certs/cut.der", FileText("certs/rsa.der").substr(0, 300));
    WriteFile("certs/trailing.der", FileText("certs/rsa.der") + "x");
    WriteFile("certs/huge.pem", FileText("certs/rsa.pem") + std::string(kSealCertificateLimit, '\n'));
    for (const char* name :
         {"certs/empty", "certs/garbage", "certs/key.pem", "certs/cut.der", "certs/trailing.der"}) {
        const SealCertificateLoad load = LoadSealCertificate(name);
        EXPECT_FALSE(load.certificate) << name;
        EXPECT_EQ("不是X.509证书", load.problem) << name;
    }
    EXPECT_EQ("文件过大（上限 64 KB）", LoadSealCertificate("certs/huge.pem").problem);
    EXPECT_EQ("文件不存在", LoadSealCertificate("certs/missing.pem").problem);
    EXPECT_EQ("不是普通文件（文件夹、设备或管道）", LoadSealCertificate("certs").problem);
}

TEST_F(Seal, TheSupervisorsKeyOpensTheEnvelopeAndItsCipherIsAes256Cbc) {
    const SealCertificateLoad load = LoadSealCertificate("certs/rsa.pem");
    ASSERT_TRUE(load.certificate);
    EnvelopeFields fields;
    fields.serial = "0A1B2C3D";
    fields.label = "财务\n部";
    fields.userPin = SecretText(L"90210417");
    fields.operatorName = "李四";
    const SecureBytes content = EnvelopeContent(fields);
    const SealedEnvelope sealed = SealEnvelope(*load.certificate, content);
    ASSERT_FALSE(sealed.der.empty()) << sealed.problem;
    fs::remove_all("ledger");
    const EnvelopeFileWritten file =
        WriteEnvelopeFile("ledger", "2026-12-07", fields.serial, "235959", sealed.der);
    ASSERT_TRUE(file.written);

    const std::string in = " -inform DER -in " + file.path.string();
    ASSERT_EQ(0, Shell("openssl cms -decrypt -binary" + in +
                       " -recip certs/rsa.pem -inkey certs/rsa.key -out opened"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(content.data()), content.size()), FileText("opened"));
    EXPECT_NE(std::string::npos, FileText("opened").find("\nuser_pin=90210417\n"));
    const std::string printed = Output("openssl cms -cmsout -print" + in);
    EXPECT_NE(std::string::npos, printed.find("contentType: pkcs7-envelopedData")) << printed;
    EXPECT_NE(std::string::npos, printed.find("algorithm: aes-256-cbc")) << printed;
    EXPECT_NE(std::string::npos, printed.find("algorithm: rsaEncryption")) << printed;

    // Another key does not open it.
    ASSERT_EQ(0, Shell("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=other"
                       " -keyout certs/other.key -out certs/other.pem"));
    EXPECT_NE(0,
              Shell("openssl cms -decrypt -binary" + in + " -recip certs/other.pem -inkey certs/other.key"));
}

} // namespace
