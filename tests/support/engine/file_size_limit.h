// A limit on the size of the files this test process writes, as on a disc
// that fills: a write past it fails with EFBIG instead of raising the signal
// the kernel would send (ignored while the limit stands). The limit and the
// signal's handling come back when the guard goes.
#pragma once

#include <sys/resource.h>

#include <csignal>

namespace rwtest {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        if (::getrlimit(RLIMIT_FSIZE, &saved_) != 0) {
            return;
        }
        struct rlimit small = saved_;
        small.rlim_cur = bytes;
        previous_ = ::signal(SIGXFSZ, SIG_IGN);
        set_ = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        if (set_) {
            ::setrlimit(RLIMIT_FSIZE, &saved_);
        }
        if (previous_ != SIG_ERR) {
            ::signal(SIGXFSZ, previous_);
        }
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    // Whether the limit was put in place.
    bool Set() const { return set_; }

private:
    struct rlimit saved_ {};
    void (*previous_)(int) = SIG_ERR;
    bool set_ = false;
};

}  // namespace rwtest
