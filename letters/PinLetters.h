#pragma once
// The supervisor's PIN letters: the envelopes of a span of days opened with the private key
// and written as one page to print, one letter a token. An envelope that does not open is
// listed on the page and in the result, never passed over.
#include "letters/LetterPage.h"
#include "letters/PageFile.h"
#include "seal/EnvelopeKey.h"

#include <filesystem>
#include <string>
#include <vector>

struct PinLettersRequest {
    std::filesystem::path ledgerFolder;
    std::string from, to; // YYYY-MM-DD, from <= to
};

enum class LettersWrite {
    kWritten,
    kNoEnvelopes, // the span holds none: nothing was written
    kNotRegularFile,
    kNotWritten,
};

struct WrittenLetters {
    LettersWrite outcome = LettersWrite::kNoEnvelopes;
    std::size_t letters = 0;
    std::vector<UnopenedEnvelope> unopened;
};

WrittenLetters WritePinLetters(const PinLettersRequest& request, const EnvelopeKey& key,
                               const std::filesystem::path& out);
