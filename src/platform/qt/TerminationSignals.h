// The end of a desktop session (SIGTERM, SIGHUP) or Ctrl+C in a terminal
// (SIGINT) closes the editor the way its window's close button does, so the
// settings are written and nothing is cut off half-way.
#pragma once

#include <functional>

namespace corvellin {

// Installs the handlers once; onSignal runs on the thread of the event loop
// (through a self-pipe), never inside the signal handler.
void CloseOnTerminationSignals(std::function<void()> onSignal);

}  // namespace corvellin
