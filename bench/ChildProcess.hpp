#pragma once
// Starting and stopping the programs a probe measures: each runs in the data folder with its
// error stream silenced, and is stopped politely, then for good.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

inline pid_t startProgram(const std::string& binary, const std::vector<std::string>& arguments,
                          const char* folder) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder) != 0)
            _exit(127);
        std::freopen("/dev/null", "w", stderr);
        std::vector<char*> argv{const_cast<char*>(binary.c_str())};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(binary.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

inline void stopProgram(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 100 && waitpid(pid, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}
