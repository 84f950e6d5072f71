// The stand-in's bench language is read from a file anyone can write: any bytes, no crash.
#include "standin/BenchParser.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ParseBenchLine(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
