#pragma once
// What vantor-cli tells the script that started it. A watch run ends 0 when every counted
// attempt succeeded, otherwise 1.
enum ExitCode : int {
    kExitSuccess = 0,
    kExitTokenFailed = 1,   // the token refused, or the operation failed on it
    kExitUsage = 2,         // usage or bad input (profile ranges, PIN lengths, PIN sources)
    kExitNoSingleToken = 3, // no token, or more than one
    kExitModule = 4,        // the module cannot be loaded, lacks the extension or cannot be initialised
    kExitLedger = 5,        // the ledger could not be written
};
