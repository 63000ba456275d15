#pragma once
// Lowers this process's file-size limit while it lives, SIGXFSZ ignored: a write beyond the
// limit then fails with EFBIG, as on a full disk, and the process goes on.
#include <csignal>
#include <sys/resource.h>

class LimiteTaille
{
public:
    explicit LimiteTaille(rlim_t octets)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limite{};
        active_ = ::getrlimit(RLIMIT_FSIZE, &ancienne_) == 0;
        limite = ancienne_;
        limite.rlim_cur = octets;
        active_ = active_ && ::setrlimit(RLIMIT_FSIZE, &limite) == 0;
    }
    ~LimiteTaille() { rendre(); }
    LimiteTaille(const LimiteTaille &) = delete;
    LimiteTaille &operator=(const LimiteTaille &) = delete;
    bool active() const { return active_; }
    // The limit as it was.
    void rendre()
    {
        if (active_) ::setrlimit(RLIMIT_FSIZE, &ancienne_);
        active_ = false;
    }

private:
    rlimit ancienne_{};
    bool active_ = false;
};
