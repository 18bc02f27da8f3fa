// Whole-process runs: a child started with posix_spawn, reaped with wait4, so
// the report gets its wall time and its peak resident memory (ru_maxrss).
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace corvellin::report {

struct ProcessRun {
    double ms = 0;           // from spawn to reap
    double peakMiB = 0;      // the child's ru_maxrss
    bool ok = false;         // exited with status 0
    std::string failure;     // otherwise: how it ended and the tail of its stderr
};

// The peers the whole-process rows are measured against.
inline constexpr const char* kConvert = "/usr/bin/convert";
inline constexpr const char* kVips = "/usr/bin/vips";

// The runs of one command: their times and peaks, or the first failure.
struct Samples {
    std::vector<double> ms, peakMiB;
    std::string failure;
    void Add(const ProcessRun& run) {
        if (!run.ok) {
            failure = run.failure;
            return;
        }
        ms.push_back(run.ms);
        peakMiB.push_back(run.peakMiB);
    }
    bool ok() const { return failure.empty() && !ms.empty(); }
    double peak() const { return peakMiB.empty() ? 0 : *std::max_element(peakMiB.begin(), peakMiB.end()); }
};

struct ProcessSetup {
    std::map<std::string, std::string> environment;  // set or replaced in the child's environment
    std::string stdoutPath = "/dev/null";
    std::string stderrPath = "/dev/null";
};

// Runs argv[0] (an absolute path) with argv and waits for it, through the
// launcher once it is started.
ProcessRun RunProcess(const std::vector<std::string>& argv, const ProcessSetup& setup);

// Forks the launcher, a process that starts every child on the report's
// behalf. Call it first thing in main: Linux carries the high-water mark of the
// process that spawns a child into the child's ru_maxrss, so children started
// by the report itself (which holds decoded pictures) would all show its peak.
void StartLauncher();
// The launcher's own peak resident memory: the least any child can show.
double LauncherPeakMiB();

// The whole file as text ("" when it cannot be read).
std::string ReadText(const std::string& path);

}  // namespace corvellin::report
