#include "Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>

#include "Measure.h"

extern char** environ;

namespace corvellin::report {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ProcessRun RunProcess(const std::vector<std::string>& argv, const ProcessSetup& setup) {
    // The child's environment: ours, with the setup's variables set or replaced.
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (!setup.environment.count(name)) env.push_back(entry);
    }
    for (const auto& [name, value] : setup.environment) env.push_back(name + "=" + value);
    std::vector<char*> envp, args;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> argCopy = argv;
    for (std::string& a : argCopy) args.push_back(a.data());
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, setup.stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, setup.stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

    ProcessRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawnError = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawnError != 0) {
        run.failure = "cannot start " + argv[0] + ": " + std::strerror(spawnError);
        return run;
    }
    int status = 0;
    struct rusage usage {};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.ms = MillisecondsSince(start);
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // Linux reports KiB
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!run.ok) {
        run.failure = argv[0] + (WIFEXITED(status) ? " exited with " + std::to_string(WEXITSTATUS(status))
                                                   : " ended by signal " + std::to_string(WTERMSIG(status)));
        if (setup.stderrPath != "/dev/null") {
            const std::string err = ReadText(setup.stderrPath);
            run.failure += ": " + err.substr(err.size() > 300 ? err.size() - 300 : 0);
        }
    }
    return run;
}

}  // namespace corvellin::report
