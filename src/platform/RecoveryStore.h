// Where a running editor keeps its recovery file, and how a later start finds
// the files of runs that ended without cleaning up (a crash, a kill, a power
// cut). Each run has its own pair of files in the state folder:
// "<run>.recovery", rewritten all-or-nothing, and "<run>.lock", which the run
// holds locked (flock) for as long as it lives. The system drops the lock when
// the process ends in any way, so a recovery file whose lock can be taken
// belongs to a run that is over, and one whose lock is held belongs to an
// editor that is still running.
#pragma once

#include <string>
#include <vector>

namespace corvellin {

// "$XDG_STATE_HOME/Corvellin Photo" (default "~/.local/state/Corvellin Photo").
std::string StateFolder();

class RecoverySession {
public:
    // Names this run's files in StateFolder(); creates nothing yet.
    RecoverySession();
    // Removes this run's files: an editor that ends normally leaves none.
    ~RecoverySession();
    RecoverySession(const RecoverySession&) = delete;
    RecoverySession& operator=(const RecoverySession&) = delete;

    // Takes this run's lock (first call only), then replaces the recovery file
    // with text all-or-nothing. Throws Error with the path and the reason.
    void Write(const std::string& text);
    // Removes the recovery file (nothing to recover any more); keeps the lock.
    void Clear();
    const std::string& path() const { return path_; }

    // The recovery files of runs that are over, newest first.
    static std::vector<std::string> LeftByEndedRuns();
    // Removes a recovery file of an ended run and its lock file.
    static void Discard(const std::string& recoveryPath);

private:
    std::string path_;
    std::string lockPath_;
    int lockFd_ = -1;
};

}  // namespace corvellin
