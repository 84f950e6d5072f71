#pragma once
// One attempt's result as one line of text, the way a station's child process hands it to the
// station: "result key=value ...", every value hex digits, the name of a case or percent-encoded
// UTF-8, so that no space or line break appears inside a value. Each case of the result's parts
// brings exactly its own keys.
#include "token/AttemptResult.h"

#include <optional>
#include <string>

// The line without its line feed.
std::string EncodeAttemptResultLine(const AttemptResult& result);

// The result the line carries; nothing when it is not such a line (unknown or missing key, a
// value out of range, bad hex or escape, a key given twice, a kind its case cannot have).
std::optional<AttemptResult> DecodeAttemptResultLine(const std::string& line);
