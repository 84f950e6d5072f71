#pragma once
// A ledger folder of the test's own holding PIN envelopes made by an independent tool (the
// openssl command), the supervisor's keys in several forms, and vantor-cli run on them.
#include "ScratchFolder.h"

#include <filesystem>
#include <string>

class LettersFolder : public ScratchFolder {
  public:
    LettersFolder() : ScratchFolder("vantor-letters-test") {}

    // openssl with `args` in the folder; true when it succeeded.
    bool Openssl(const std::string& args) const;
    // The supervisor's key.pem (PKCS#8) and cert.pem, and another's other.pem / othercert.pem.
    bool MakeKeys() const;
    // An envelope of the lines given (serial=, holder=, user_pin=, …) sealed to `cert`, as
    // pins/DAY/NAME under the ledger folder.
    bool Seal(const std::string& day, const std::string& name, const std::string& lines,
              const std::string& cert = "cert.pem") const;
    // Seven lines of content as the sealing writes them.
    static std::string Content(const std::string& serial, const std::string& holder, const std::string& pin);
    void Write(const std::filesystem::path& relative, const std::string& bytes) const;
    std::string Read(const std::filesystem::path& relative) const;

    // Exit code; standard output and error apart. `environment`: "NAME=value …" before it.
    int Cli(const std::string& args, std::string& out, std::string& err,
            const std::string& environment = std::string()) const;
};

// How often `needle` occurs in `text`.
std::size_t Occurrences(const std::string& text, const std::string& needle);
