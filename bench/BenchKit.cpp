#include "BenchKit.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <iostream>
#include <stdexcept>

#include <sys/wait.h>
#include <unistd.h>

namespace kw::bench {

namespace {

bool WriteAll(int fd, const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string ReadAll(int fd) {
    std::string bytes;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
        bytes.append(buffer, static_cast<size_t>(n));
    }
    return bytes;
}

std::vector<int> ParseScales(const std::string& text) {
    std::vector<int> scales;
    for (size_t pos = 0; pos <= text.size();) {
        const size_t comma = std::min(text.find(',', pos), text.size());
        scales.push_back(std::stoi(text.substr(pos, comma - pos)));
        pos = comma + 1;
    }
    return scales;
}

} // namespace

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

double MedianMs(int runs, const std::function<void()>& step, const std::function<void()>& prepare,
                const std::function<void()>& after) {
    prepare();
    step();
    after();
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        step();
        samples.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        after();
    }
    return Median(samples);
}

std::optional<std::string> RunInChild(const std::string& label, const std::function<std::string()>& measure) {
    int fds[2];
    if (::pipe(fds) != 0) {
        throw std::runtime_error("pipe failed");
    }
    std::cout.flush();
    std::fflush(stdout);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        int status = 1;
        try {
            status = WriteAll(fds[1], measure()) ? 0 : 1;
        } catch (const std::exception& error) {
            std::cerr << label << ": " << error.what() << std::endl;
        }
        ::_exit(status);
    }
    ::close(fds[1]);
    std::string bytes = ReadAll(fds[0]);
    ::close(fds[0]);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<int> ParseOptions(int argc, char** argv, TBenchOptions& options, const char* usage) {
    try {
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            if (arg == "--scales" && i + 1 < argc) {
                options.Scales = ParseScales(argv[++i]);
            } else if (arg == "--runs" && i + 1 < argc) {
                options.Runs = std::max(1, std::stoi(argv[++i]));
            } else {
                std::cerr << usage;
                return arg == "--help" ? 0 : 2;
            }
        }
    } catch (const std::exception&) {
        std::cerr << usage;
        return 2;
    }
    return std::nullopt;
}

const char* Verdict(double value, double goal) {
    return value <= goal ? "met" : "MISSED";
}

} // namespace kw::bench
