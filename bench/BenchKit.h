#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// What both benchmarks share: timing by medians, a measurement in a child process of its own, the command
// line and the verdict beside a goal.
namespace kw::bench {

double Median(std::vector<double> samples);

// Runs prepare, step and after once untimed (the warm-up), then `runs` times with only step timed; prepare
// comes before and after behind every run.
double MedianMs(
    int runs, const std::function<void()>& step, const std::function<void()>& prepare = [] {},
    const std::function<void()>& after = [] {});

// Runs measure in a child process, so that neither memory nor state of one measurement reaches the next, and
// returns the bytes it handed back. Nothing when it failed; what it threw goes to stderr behind label.
std::optional<std::string> RunInChild(const std::string& label, const std::function<std::string()>& measure);

// A trivially copyable result as bytes through RunInChild and back.
template <class T> std::string ToBytes(const T& value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}
template <class T> bool FromBytes(const std::optional<std::string>& bytes, T& value) {
    if (!bytes || bytes->size() != sizeof value) {
        return false;
    }
    bytes->copy(reinterpret_cast<char*>(&value), sizeof value);
    return true;
}

struct TBenchOptions {
    std::vector<int> Scales;
    int Runs = 5;
};

// Reads --scales 1,10,100 and --runs 5 into options, which hold the defaults. An exit code when the program
// ends here (--help, a wrong argument; the usage then went out).
std::optional<int> ParseOptions(int argc, char** argv, TBenchOptions& options, const char* usage);

const char* Verdict(double value, double goal);

} // namespace kw::bench
