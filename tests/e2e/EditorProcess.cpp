#include "EditorProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace corvellin::e2e {

using namespace std::chrono_literals;

ChildProcess::ChildProcess(std::vector<std::string> argv, const std::vector<std::string>& env, int keepFd,
                           const std::string& log) {
    pid_ = ::fork();
    if (pid_ != 0) return;
    if (!log.empty()) {
        const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
    }
    for (int other = 3; other < 256; ++other)
        if (other != keepFd) ::close(other);
    for (const std::string& e : env) {
        const std::size_t equals = e.find('=');
        if (equals == std::string::npos) ::unsetenv(e.c_str());
        else ::setenv(e.substr(0, equals).c_str(), e.substr(equals + 1).c_str(), 1);
    }
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

void ChildProcess::signal(int number) {
    if (pid_ > 0 && !status_) ::kill(pid_, number);
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!status_) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (std::chrono::steady_clock::now() > end) break;
        std::this_thread::sleep_for(50ms);
    }
    return status_;
}

void ChildProcess::signal(int number) const {
    if (pid_ > 0 && !status_) ::kill(pid_, number);
}

std::string Capture(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, p)) out += buffer;
        ::pclose(p);
    }
    return out;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(200ms);
    }
    return condition();
}

XvfbServer::XvfbServer(const std::string& log, const std::string& screen) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    // Xvfb writes the display number it chose, then a newline, to the pipe.
    process_.emplace(std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                              screen, "-nolisten", "tcp"},
                     std::vector<std::string>{}, fds[1], log);
    ::close(fds[1]);
    std::string number;
    char c;
    while (::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(fds[0]);
    if (!number.empty()) display_ = ":" + number;
}

std::string XvfbServer::run(const std::string& command) const {
    return Capture("DISPLAY=" + display_ + " " + command + " 2>/dev/null");
}

std::string XvfbServer::windowNamed(const std::string& title) const {
    const std::string found = run("xdotool search --onlyvisible --name '^" + title + "$'");
    return found.substr(0, found.find('\n'));
}

}  // namespace corvellin::e2e
