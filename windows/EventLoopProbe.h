#pragma once
// Measures how long the window's event loop goes without turning while a run is in progress: a
// timer ticks every few milliseconds on the user interface thread and the longest gap between
// two ticks during a run is kept. The benchmark switches it on with the environment variable
// TABROOK_EVENT_LOOP_PROBE naming a file, into which the longest gap so far is written.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <atomic>

class QTimer;

namespace tabrook {

class EventLoopProbe : public QObject {
public:
    // running tells whether a run is in progress; report is the file written at the end.
    EventLoopProbe(const std::atomic<bool>& running, QString report);
    ~EventLoopProbe() override;

    // The probe the environment asks for, or null.
    static EventLoopProbe* FromEnvironment(const std::atomic<bool>& running);

    qint64 LongestGapMs() const { return longest_; }

private:
    void Tick();
    void Write() const;

    const std::atomic<bool>& running_;
    QString report_;
    QTimer* timer_;
    QElapsedTimer clock_;
    qint64 last_ = -1;
    qint64 longest_ = 0;
};

}  // namespace tabrook
