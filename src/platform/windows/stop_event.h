#pragma once

#include <QObject>
#include <functional>
#include <string>

namespace platform {

// The named event that asks the window program whose process id is `processId` to end, as
// SIGINT does on Linux: the console launcher sets it on Ctrl+C, Ctrl+Break and the console's
// close. "Local\": the user's session only.
std::wstring StopEventName(unsigned long processId);

// Calls `stop` once, from `context`'s event loop, when this process's stop event is set,
// for as long as `context` lives. The event may have been made (and set) before: the
// launcher makes it as soon as it knows the process id.
void WatchStopEvent(QObject& context, std::function<void()> stop);

}  // namespace platform
