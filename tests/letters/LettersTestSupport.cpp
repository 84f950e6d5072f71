#include "LettersTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

namespace fs = std::filesystem;

bool LettersFolder::Openssl(const std::string& args) const {
    const std::string command = "cd '" + root.string() + "' && openssl " + args + " > /dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

bool LettersFolder::MakeKeys() const {
    return Openssl("req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -subj /CN=supervisor "
                   "-days 30") &&
           Openssl("req -x509 -newkey rsa:2048 -nodes -keyout other.pem -out othercert.pem -subj /CN=other "
                   "-days 30");
}

bool LettersFolder::Seal(const std::string& day, const std::string& name, const std::string& lines,
                         const std::string& cert) const {
    Write("plain.txt", lines);
    const fs::path out = ledger / "pins" / day / name;
    fs::create_directories(out.parent_path());
    return Openssl("cms -encrypt -binary -aes256 -outform DER -in plain.txt -recip " + cert + " -out '" +
                   out.string() + "'");
}

std::string LettersFolder::Content(const std::string& serial, const std::string& holder,
                                   const std::string& pin) {
    return "serial=" + serial + "\nlabel=PKI\nholder=" + holder + "\nuser_pin=" + pin +
           "\ntime=2026-12-06 10:00:00\nstation=ST-A\noperator=alice\n";
}

void LettersFolder::Write(const fs::path& relative, const std::string& bytes) const {
    fs::create_directories((root / relative).parent_path());
    std::ofstream(root / relative, std::ios::binary) << bytes;
}

std::string LettersFolder::Read(const fs::path& relative) const {
    std::ifstream in(root / relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int LettersFolder::Cli(const std::string& args, std::string& out, std::string& err,
                       const std::string& environment) const {
    // No terminal: standard input is /dev/null, so no password is ever prompted for.
    const std::string command =
        "cd '" + root.string() + "' && env -u VANTOR_KEY_PASSWORD VANTOR_LEDGER_DIR='" + ledger.string() +
        "' " + environment + " '" VANTOR_CLI_PATH "' " + args + " < /dev/null > stdout.txt 2> stderr.txt";
    const int status = std::system(command.c_str());
    out = Read("stdout.txt");
    err = Read("stderr.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::size_t Occurrences(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
        ++count;
    return count;
}
