#pragma once

#include <sys/resource.h>

#include <csignal>

namespace kwtest {

// Holds the process's file size limit low, so that writes beyond it fail as on
// a full disk (SIGXFSZ ignored, so the write returns an error instead).
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &FSaved);
        FPrevious = std::signal(SIGXFSZ, SIG_IGN);
        rlimit low = FSaved;
        low.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &low);
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &FSaved);
        std::signal(SIGXFSZ, FPrevious);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit FSaved{};
    void (*FPrevious)(int) = nullptr;
};

} // namespace kwtest
