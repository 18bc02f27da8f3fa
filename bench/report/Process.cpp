#include "Process.h"

#include <fcntl.h>
#include <unistd.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdint>
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

namespace {

ProcessRun RunDirectly(const std::vector<std::string>& argv, const ProcessSetup& setup) {
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

// ---- The launcher: requests and answers over two pipes ---------------------

int toLauncher = -1, fromLauncher = -1;
double launcherPeakMiB = 0;

bool WriteAll(int fd, const void* data, std::size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool ReadAll(int fd, void* data, std::size_t size) {
    auto* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = ::read(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

template <typename T>
void Put(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}
void PutString(std::string& out, const std::string& text) {
    Put(out, static_cast<std::uint64_t>(text.size()));
    out += text;
}

bool ReadMessage(int fd, std::string& message) {
    std::uint64_t size = 0;
    if (!ReadAll(fd, &size, sizeof size)) return false;
    message.resize(size);
    return ReadAll(fd, message.data(), size);
}
bool WriteMessage(int fd, const std::string& message) {
    std::string framed;
    PutString(framed, message);
    return WriteAll(fd, framed.data(), framed.size());
}

// Reads fields back in the order Put wrote them.
class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}
    template <typename T>
    T Get() {
        T value{};
        std::memcpy(&value, text_.data() + at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    std::string GetString() {
        const auto size = Get<std::uint64_t>();
        std::string s = text_.substr(at_, size);
        at_ += size;
        return s;
    }

private:
    const std::string& text_;
    std::size_t at_ = 0;
};

[[noreturn]] void LauncherLoop(int requests, int answers) {
    std::string message;
    while (ReadMessage(requests, message)) {
        Reader in(message);
        std::vector<std::string> argv(in.Get<std::uint64_t>());
        for (std::string& a : argv) a = in.GetString();
        ProcessSetup setup;
        const auto variables = in.Get<std::uint64_t>();
        for (std::uint64_t i = 0; i < variables; ++i) {
            std::string name = in.GetString();
            setup.environment[name] = in.GetString();
        }
        setup.stdoutPath = in.GetString();
        setup.stderrPath = in.GetString();
        const ProcessRun run = RunDirectly(argv, setup);
        struct rusage self {};
        getrusage(RUSAGE_SELF, &self);
        std::string answer;
        Put(answer, run.ms);
        Put(answer, run.peakMiB);
        Put(answer, static_cast<std::uint8_t>(run.ok));
        PutString(answer, run.failure);
        Put(answer, static_cast<double>(self.ru_maxrss) / 1024.0);
        if (!WriteMessage(answers, answer)) break;
    }
    std::_Exit(0);
}

}  // namespace

void StartLauncher() {
    int requests[2], answers[2];
    if (::pipe(requests) != 0 || ::pipe(answers) != 0) return;  // children then start directly
    const pid_t pid = ::fork();
    if (pid < 0) return;
    if (pid == 0) {
        ::close(requests[1]);
        ::close(answers[0]);
        LauncherLoop(requests[0], answers[1]);
    }
    ::close(requests[0]);
    ::close(answers[1]);
    // The launcher's end must not leak into the children it starts for us.
    ::fcntl(requests[1], F_SETFD, FD_CLOEXEC);
    ::fcntl(answers[0], F_SETFD, FD_CLOEXEC);
    toLauncher = requests[1];
    fromLauncher = answers[0];
}

double LauncherPeakMiB() { return launcherPeakMiB; }

ProcessRun RunProcess(const std::vector<std::string>& argv, const ProcessSetup& setup) {
    if (toLauncher < 0) return RunDirectly(argv, setup);
    std::string request;
    Put(request, static_cast<std::uint64_t>(argv.size()));
    for (const std::string& a : argv) PutString(request, a);
    Put(request, static_cast<std::uint64_t>(setup.environment.size()));
    for (const auto& [name, value] : setup.environment) {
        PutString(request, name);
        PutString(request, value);
    }
    PutString(request, setup.stdoutPath);
    PutString(request, setup.stderrPath);
    std::string answer;
    if (!WriteMessage(toLauncher, request) || !ReadMessage(fromLauncher, answer)) {
        ProcessRun failed;
        failed.failure = "the launcher process is gone";
        return failed;
    }
    Reader in(answer);
    ProcessRun run;
    run.ms = in.Get<double>();
    run.peakMiB = in.Get<double>();
    run.ok = in.Get<std::uint8_t>() != 0;
    run.failure = in.GetString();
    launcherPeakMiB = in.Get<double>();
    return run;
}

}  // namespace corvellin::report
