// Starts a program of the build for a test, its error output written to a file the test reads.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace pondlark::test_support {

// Runs `args[0]` with `args`, standard error into `log` (made anew). The caller waits for the
// process it gets; -1 when it could not be started.
inline pid_t SpawnLogged(std::vector<std::string> args, const std::filesystem::path& log) {
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

} // namespace pondlark::test_support
