#pragma once
// The supervisor's certificate, named by the operator: the envelopes of random user PINs are
// sealed to its RSA key, so only the holder of the matching private key opens them.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A certificate is a couple of KB; anything far larger is not one.
constexpr std::size_t kSealCertificateLimit = 64 * 1024;

struct SealCertificate {
    std::vector<unsigned char> der; // the X.509 certificate as DER
    std::string subject;            // UTF-8, control characters escaped, for menus and status
};

struct SealCertificateLoad {
    std::optional<SealCertificate> certificate;
    std::string problem; // UTF-8 Simplified Chinese when there is no certificate
};

// PEM (text before the block and CRLF line ends allowed) or DER, with an RSA public key.
SealCertificateLoad SealCertificateFromBytes(const std::string& bytes);
// The file must be a regular file of at most kSealCertificateLimit bytes.
SealCertificateLoad LoadSealCertificate(const std::filesystem::path& path);

// Why the certificate in `path` cannot be used, as an operator reads it (UTF-8), naming the file
// shown escaped; empty when `load` holds a certificate.
std::string SealCertificateProblem(const std::filesystem::path& path, const SealCertificateLoad& load);
