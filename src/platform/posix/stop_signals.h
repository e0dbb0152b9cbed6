#pragma once

#include <QObject>

class QSocketNotifier;

namespace platform {

// SIGTERM, SIGHUP and SIGINT (the end of the desktop session, a service stop, a terminal's
// Ctrl+C) delivered as a Qt signal on the thread that made this object. The handler only
// writes the signal's number into a pipe that the event loop watches: nothing in Qt is
// called from the handler. One object at a time; the default handling comes back with its
// destruction.
class StopSignals final : public QObject {
    Q_OBJECT

public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

Q_SIGNALS:
    void received(int signalNumber);

private:
    void readPipe();

    int readFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace platform
