#pragma once
// The figures a benchmark prints: one row each, with what it is compared against. Rows go to
// standard output as "ROW|figure|value|baseline or target|PASS, FAIL or INFO", notes as
// "NOTE|text"; scripts/benchmark.sh lays them out as a table.
#include <string>
#include <vector>

enum class Verdict { kPass, kFail, kInfo };

void PrintRow(const std::string& figure, const std::string& value, const std::string& reference,
              Verdict verdict);
inline Verdict Check(bool met) {
    return met ? Verdict::kPass : Verdict::kFail;
}
void PrintNote(const std::string& text);
// Brackets a stretch in which the script measures the wineserver's own CPU time: "MARK|begin"
// and "MARK|end|<wall ms>|<figure>"; the script turns the pair into a row of that figure.
void PrintMarkBegin();
void PrintMarkEnd(double wallMs, const std::string& figure);

// printf into a std::string.
std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Of a sample of durations or counts; the sample must not be empty.
double Median(std::vector<double> values);
// Nearest-rank percentile, 0 < p <= 100.
double Percentile(std::vector<double> values, double p);
double Maximum(const std::vector<double>& values);
