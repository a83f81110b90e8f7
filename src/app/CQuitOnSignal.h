#pragma once
// CQuitOnSignal: turns SIGINT and SIGTERM into an ordinary quit of the event loop, so that an
// interrupted run leaves the way a closed one does (QCoreApplication::aboutToQuit, the windows'
// way-outs: a held jog sends Stop). The handler only writes a byte to a socket pair; the event
// loop reads it and quits. One per process, made after the application object; user-interface
// thread (the handler itself runs wherever the signal lands).
#include <QObject>

class QSocketNotifier;

namespace kvl {

class CQuitOnSignal : public QObject {
    Q_OBJECT
public:
    explicit CQuitOnSignal(QObject *parent = nullptr);
    ~CQuitOnSignal() override;
    // Whether the handlers are in place.
    bool Installed() const { return m_notifier != nullptr; }

private:
    void OnSignal();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace kvl
