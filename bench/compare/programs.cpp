// Starting and stopping the programs measured.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include "bench/compare/compare.h"

extern char **environ;

pid_t spawn_with(const std::vector<std::string> &words, const std::vector<std::string> &env) {
    std::vector<std::string> all_env;
    for (char **e = environ; *e; e++) {
        std::string name = std::string(*e).substr(0, std::string(*e).find('=') + 1);
        bool replaced = false;
        for (const std::string &mine : env) replaced = replaced || mine.compare(0, name.size(), name) == 0;
        if (!replaced) all_env.push_back(*e);
    }
    all_env.insert(all_env.end(), env.begin(), env.end());
    std::vector<char *> argv, envp;
    for (const std::string &w : words) argv.push_back(const_cast<char *>(w.c_str()));
    for (const std::string &e : all_env) envp.push_back(const_cast<char *>(e.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    pid_t pid;
    return posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) == 0 ? pid : -1;
}

void stop_program(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; i++) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        sleep_ms(10);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}
