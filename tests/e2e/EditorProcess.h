// Processes for the end-to-end tests: the editor or any other program as a
// child that dies with its owner, a private Xvfb server, and the waiting and
// shell helpers the tests read the screen and the logs with.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvellin::e2e {

// A child process, killed (by its pid) if still running when the object dies.
class ChildProcess {
public:
    // env: "NAME=value" sets a variable, a bare "NAME" removes it. keepFd stays
    // open in the child; log, when given, takes its standard output and error.
    ChildProcess(std::vector<std::string> argv, const std::vector<std::string>& env, int keepFd = -1,
                 const std::string& log = "");
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Sends a signal (SIGKILL: the end of a crash or a power cut, with no clean-up).
    void signal(int number);
    // The exit status once the process has ended within the wait, else empty;
    // 128 + the signal's number for a process that a signal ended.
    std::optional<int> wait(std::chrono::milliseconds limit);
    // Sends the signal to the process while it runs.
    void signal(int number) const;

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// What a shell command prints on its standard output.
std::string Capture(const std::string& command);

// Asks condition until it holds or limit has passed; its last answer.
bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds limit = std::chrono::seconds(30));

// An Xvfb server (1280x1024x24 unless told, no TCP) on a display number it
// picks itself, killed when the object dies.
class XvfbServer {
public:
    // Starts the server with its output in log; display() is empty when it did not start.
    explicit XvfbServer(const std::string& log, const std::string& screen = "1280x1024x24");

    const std::string& display() const { return display_; }
    // Runs a shell command on this display; its standard output (errors dropped).
    std::string run(const std::string& command) const;
    // The first visible window whose whole title is title, or empty.
    std::string windowNamed(const std::string& title) const;

private:
    std::optional<ChildProcess> process_;
    std::string display_;
};

}  // namespace corvellin::e2e
