#include "bench/Figures.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

void PrintRow(const std::string& figure, const std::string& value, const std::string& reference,
              Verdict verdict) {
    const char* word = verdict == Verdict::kPass ? "PASS" : verdict == Verdict::kFail ? "FAIL" : "INFO";
    std::printf("ROW|%s|%s|%s|%s\n", figure.c_str(), value.c_str(), reference.c_str(), word);
    std::fflush(stdout);
}

void PrintNote(const std::string& text) {
    std::printf("NOTE|%s\n", text.c_str());
    std::fflush(stdout);
}

void PrintMarkBegin() {
    std::printf("MARK|begin\n");
    std::fflush(stdout);
}

void PrintMarkEnd(double wallMs, const std::string& figure) {
    std::printf("MARK|end|%.0f|%s\n", wallMs, figure.c_str());
    std::fflush(stdout);
}

std::string Printf(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    auto rank = static_cast<std::size_t>(std::ceil(p / 100 * static_cast<double>(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

double Maximum(const std::vector<double>& values) {
    return *std::max_element(values.begin(), values.end());
}
