#pragma once
// The command line of vantor-cli. PINs never travel on it: a PIN option given a value is
// refused, and nothing of a refused argument is echoed, since it may be a PIN.
#include "attempt/ShownOptionName.h"

#include <string>
#include <vector>

enum class CliCommand { kNone, kInfo, kWipe, kInit };

// Where one PIN comes from: a terminal prompt without echo unless an environment variable
// or a file (its first line) is named.
struct PinSource {
    enum class Kind { kPrompt, kEnvironment, kFile } kind = Kind::kPrompt;
    std::wstring name; // variable name or file path
};

struct CliOptions {
    CliCommand command = CliCommand::kNone;
    bool bWatch = false;
    bool bStation = false; // station wipe|init: every present token at once
    bool bJson = false;
    bool bLedger = true;
    bool bHelp = false;
    std::wstring modulePath; // empty: the program's own search
    std::wstring profilePath;
    std::wstring stockPath; // wipe, init, watch: the stock list put in force
    PinSource soPin;
    PinSource userPin;
    PinSource currentSoPin;         // init on a module without the vendor extension; never prompted
    unsigned long count = 0;        // watch: end after this many counted attempts (0: no limit)
    unsigned long idleSeconds = 0;  // watch: end after this long without a slot event (0: never)
    unsigned long limitSeconds = 0; // station: an attempt still running after this is abandoned (0: 120)
    unsigned long randomUserPinLength = 0; // init: each token's own user PIN of this many digits (0: typed)
    std::wstring sealToPath;               // the certificate random user PINs are sealed to
};

struct ParsedCommandLine {
    CliOptions options;
    std::wstring error; // non-empty: usage error, exit 2
};

// `args` without the program name.
ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& args);

// --help: commands, options, PIN sources and exit codes.
std::wstring HelpText();
