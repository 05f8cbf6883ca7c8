#pragma once
// A reusable parked worker thread. It sleeps between runs, is woken for one unit of work
// (DoWork), signals IdleEvent while it is parked and calls OnWorkDone after every wake-up.
// Starting a run costs one wake-up; the thread is created once and reused.
//
// Wake-ups are counted under one lock, so a Start that arrives while the worker is still busy
// (or about to park) is never lost: the worker runs again instead of parking. Start resets
// IdleEvent itself, so a WaitIdle right after Start waits for that run to end.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tabrook {

// A manual-reset event: stays signalled until reset.
class ManualResetEvent {
public:
    void Set();
    void Reset();
    bool IsSet() const;
    void Wait() const;
    // True when the event was signalled within the timeout.
    bool WaitFor(std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool signalled_ = false;
};

class TThreadEx {
public:
    // 0 parked by the thread itself, 1 running or released, 2 paused by Pause.
    enum WaitModes : int { kParked = 0, kRunning = 1, kPaused = 2 };

    // Called on the worker thread with its context and the thread after every wake-up.
    using WorkDoneRoutine = std::function<void(void* context, TThreadEx& thread)>;

    // Created suspended: no worker runs until Resume.
    TThreadEx();
    // Sets the terminated flag, wakes the worker once (it does no work but still calls
    // OnWorkDone), waits for it to end.
    virtual ~TThreadEx();
    TThreadEx(const TThreadEx&) = delete;
    TThreadEx& operator=(const TThreadEx&) = delete;

    // Lets the worker begin its life; it parks itself at once. Only the first call counts.
    void Resume();

    // Clears StopRequested and wakes the worker for one run. Returns at once.
    void Start();
    // Sets StopRequested, wakes a paused worker without work, and with wait blocks until parked.
    void Stop(bool wait);
    // Blocks until the worker is parked. While waiting it calls the message pump (when set) so
    // that a synchronized step the worker has handed to the calling thread can still run.
    void WaitIdle();
    // Marks the thread as ending: no work is started after the current wake-up.
    void Terminate();
    bool Terminated() const { return terminated_.load(); }

    // Sets the completion routine; set it before Resume.
    void SetOnWorkDone(WorkDoneRoutine routine, void* context);
    // The routine WaitIdle calls while it waits (for example the UI's event processing).
    void SetMessagePump(std::function<void()> pump);

    ManualResetEvent IdleEvent;
    std::atomic<bool> StopRequested{false};
    std::atomic<int> WaitMode{kRunning};

    // Number of completed wake-ups (for diagnostics and tests).
    long WakeCount() const { return wakeCount_.load(); }

protected:
    // The unit of work of one wake-up.
    virtual void DoWork() = 0;
    // Parks the calling worker with the given wait mode until woken.
    virtual void SuspendSelf(int mode);
    // Parks the worker from inside DoWork until Start or Stop releases it.
    virtual void Pause();

    // Derived classes whose DoWork uses their own members call this first in their destructor,
    // so the worker has ended before those members go away.
    void EndWorker();

private:
    void Execute();

    std::mutex mutex_;
    std::condition_variable wake_;
    bool wakePending_ = false;
    bool resumed_ = false;
    std::atomic<bool> terminated_{false};
    std::atomic<long> wakeCount_{0};
    std::thread worker_;
    WorkDoneRoutine onWorkDone_;
    void* workDoneContext_ = nullptr;
    std::function<void()> pump_;
};

}  // namespace tabrook
