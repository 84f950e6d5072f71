#pragma once
// The bench language's parser: a pure function of one line, no state, no exceptions for
// any input (it is fed arbitrary bytes by the fuzzer).
#include "standin/BenchCommand.h"

#include <string_view>

BenchParse ParseBenchLine(std::string_view line) noexcept;
