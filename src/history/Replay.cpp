#include "Replay.h"

namespace corvellin {

namespace {

// Runs finish whichever way the walk ends.
struct FinishGuard {
    const ReplayProgress& progress;
    ~FinishGuard() {
        if (progress.finish) progress.finish();
    }
};

}  // namespace

Picture ReplayHistoryOnto(const TQueueData& history, const Picture& source, const EffectContext& context,
                          const ReplayProgress& progress, const std::optional<EffectCall>& pending) {
    Picture picture = source;
    const int count = history.CommittedCount();
    if (progress.start) progress.start(0, count - 1);
    FinishGuard guard{progress};
    const HistoryEntry* current = history.HistoryCurrent();
    if (current != nullptr && current != history.HistoryRoot()) {
        for (const HistoryEntry* e = history.HistoryRoot()->next; e; e = e->next) {
            ApplyEffect(context, &picture, e->call());
            if (e == current) break;
            if (progress.step) progress.step();
        }
    }
    if (pending) ApplyEffect(context, &picture, *pending);
    return picture;
}

}  // namespace corvellin
