#pragma once
// A sealed envelope's file under the ledger folder: pins/DAY/SERIAL-HHMMSS.der, never over an
// existing file, on disk before the token is written to.
#include <filesystem>
#include <string>
#include <vector>

struct EnvelopeFileWritten {
    bool written = false;
    std::string relativeName; // "pins/2026-12-07/ABC-235959.der", forward slashes
    std::filesystem::path path;
};

// The serial as a file name: only A-Z a-z 0-9 _ -, others become "_", at most 64 characters,
// "unread" when empty.
std::string EnvelopeFileSerial(const std::string& serial);

// `day` as 2026-12-07 and `hhmmss` as 235959 (both only digits and "-"). A name already taken
// gets "-2", "-3", … before ".der". Flushed to disk before it returns.
EnvelopeFileWritten WriteEnvelopeFile(const std::filesystem::path& ledgerFolder, const std::string& day,
                                      const std::string& serial, const std::string& hhmmss,
                                      const std::vector<unsigned char>& der);

// Takes back an envelope whose token was never written; false when it stays.
bool RemoveEnvelopeFile(const std::filesystem::path& path);
