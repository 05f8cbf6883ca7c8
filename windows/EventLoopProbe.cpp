#include "windows/EventLoopProbe.h"

#include <QFile>
#include <QTimer>
#include <cstdlib>

namespace tabrook {

namespace {
constexpr int kTickMs = 5;
}

EventLoopProbe::EventLoopProbe(const std::atomic<bool>& running, QString report)
    : running_(running), report_(std::move(report)), timer_(new QTimer(this)) {
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(kTickMs);
    connect(timer_, &QTimer::timeout, this, &EventLoopProbe::Tick);
    clock_.start();
    timer_->start();
}

EventLoopProbe::~EventLoopProbe() {
    Write();
}

void EventLoopProbe::Write() const {
    QFile file(report_);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QByteArray("longest_gap_ms ") + QByteArray::number(longest_) + "\n");
}

EventLoopProbe* EventLoopProbe::FromEnvironment(const std::atomic<bool>& running) {
    const char* report = std::getenv("TABROOK_EVENT_LOOP_PROBE");
    if (report == nullptr || *report == '\0') return nullptr;
    return new EventLoopProbe(running, QString::fromLocal8Bit(report));
}

void EventLoopProbe::Tick() {
    const qint64 now = clock_.elapsed();
    // Only gaps inside a run count: start-up and the windows' first painting are not a run.
    if (running_.load() && last_ >= 0 && now - last_ > longest_) {
        longest_ = now - last_;
        Write();  // at once: the benchmark may end the program without a close
    }
    last_ = now;
}

}  // namespace tabrook
