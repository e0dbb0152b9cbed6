#include "platform/windows/stop_event.h"

#include <windows.h>

#include <QWinEventNotifier>

namespace platform {

std::wstring StopEventName(unsigned long processId) {
    return L"Local\\Lexbin-stop-" + std::to_wstring(processId);
}

void WatchStopEvent(QObject& context, std::function<void()> stop) {
    // Manual reset: a set event stays set until the loop sees it.
    const HANDLE event =
        CreateEventW(nullptr, TRUE, FALSE, StopEventName(GetCurrentProcessId()).c_str());
    if (event == nullptr) {
        return;  // no way to be asked; the window works as before
    }
    auto* notifier = new QWinEventNotifier(event, &context);
    QObject::connect(notifier, &QObject::destroyed, [event] { CloseHandle(event); });
    QObject::connect(notifier, &QWinEventNotifier::activated, &context,
                     [notifier, stop = std::move(stop)] {
                         notifier->setEnabled(false);  // the event stays set: once is enough
                         stop();
                     });
}

}  // namespace platform
