#pragma once
// What every benchmark needs: the median of its timings, and starting a tool (mkclip) to make
// its clips.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

inline double mediane(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// Runs args[0] with its arguments; true when it exits with status 0.
inline bool lancer(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    int etat = 0;
    return waitpid(pid, &etat, 0) == pid && WIFEXITED(etat) && WEXITSTATUS(etat) == 0;
}
