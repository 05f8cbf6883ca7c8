#include "transfer/TThreadEx.h"

namespace tabrook {

void ManualResetEvent::Set() {
    std::lock_guard lock(mutex_);
    signalled_ = true;
    changed_.notify_all();
}

void ManualResetEvent::Reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

bool ManualResetEvent::IsSet() const {
    std::lock_guard lock(mutex_);
    return signalled_;
}

void ManualResetEvent::Wait() const {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return signalled_; });
}

bool ManualResetEvent::WaitFor(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return signalled_; });
}

TThreadEx::TThreadEx() = default;

TThreadEx::~TThreadEx() {
    EndWorker();
}

void TThreadEx::EndWorker() {
    {
        std::lock_guard lock(mutex_);
        if (!resumed_) return;
        terminated_ = true;
        wakePending_ = true;
        wake_.notify_all();
    }
    if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id())
        worker_.join();
    else if (worker_.joinable())
        worker_.detach();
}

void TThreadEx::Resume() {
    std::lock_guard lock(mutex_);
    if (resumed_) return;
    resumed_ = true;
    worker_ = std::thread([this] { Execute(); });
}

void TThreadEx::Start() {
    std::lock_guard lock(mutex_);
    StopRequested = false;
    // Reset here rather than on the worker, so that WaitIdle right after Start cannot see the
    // event of the previous park.
    IdleEvent.Reset();
    wakePending_ = true;
    WaitMode = kRunning;
    wake_.notify_all();
    if (!resumed_) {
        resumed_ = true;
        worker_ = std::thread([this] { Execute(); });
    }
}

void TThreadEx::Stop(bool wait) {
    {
        std::lock_guard lock(mutex_);
        StopRequested = true;
        if (WaitMode == kPaused) {
            wakePending_ = true;
            WaitMode = kRunning;
            wake_.notify_all();
        }
    }
    if (wait) WaitIdle();
}

void TThreadEx::WaitIdle() {
    {
        std::lock_guard lock(mutex_);
        if (!resumed_) return;  // never started: nothing can be busy
    }
    if (worker_.get_id() == std::this_thread::get_id()) return;  // would wait for itself
    if (!pump_) {
        IdleEvent.Wait();
        return;
    }
    while (!IdleEvent.WaitFor(std::chrono::milliseconds(5))) pump_();
}

void TThreadEx::Terminate() {
    terminated_ = true;
}

void TThreadEx::SetOnWorkDone(WorkDoneRoutine routine, void* context) {
    std::lock_guard lock(mutex_);
    onWorkDone_ = std::move(routine);
    workDoneContext_ = context;
}

void TThreadEx::SetMessagePump(std::function<void()> pump) {
    pump_ = std::move(pump);
}

void TThreadEx::SuspendSelf(int mode) {
    std::unique_lock lock(mutex_);
    WaitMode = mode;
    wake_.wait(lock, [this] { return wakePending_; });
    wakePending_ = false;
    WaitMode = kRunning;
}

void TThreadEx::Pause() {
    SuspendSelf(kPaused);
}

void TThreadEx::Execute() {
    while (!terminated_) {
        {
            std::unique_lock lock(mutex_);
            if (!wakePending_) {
                // Park: nothing is to run until the next Start.
                StopRequested = true;
                IdleEvent.Set();
            }
        }
        SuspendSelf(kParked);
        if (!StopRequested && !terminated_) DoWork();
        ++wakeCount_;
        WorkDoneRoutine routine;
        void* context = nullptr;
        {
            std::lock_guard lock(mutex_);
            routine = onWorkDone_;
            context = workDoneContext_;
        }
        if (routine) routine(context, *this);
    }
    IdleEvent.Set();
}

}  // namespace tabrook
