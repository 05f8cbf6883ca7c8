// The parked worker: wake-ups, parking, stop requests, completion routine and destruction,
// including many fast start/wait cycles that would expose a lost wake-up or a stale idle event.

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include "transfer/TThreadEx.h"

namespace tabrook {
namespace {

using namespace std::chrono_literals;

// Counts its runs; optionally blocks in DoWork until released, or pauses itself.
class CountingThread : public TThreadEx {
public:
    ~CountingThread() override { EndWorker(); }

    std::atomic<int> runs{0};
    std::atomic<bool> block{false};
    std::atomic<bool> inWork{false};
    std::atomic<bool> sawStop{false};
    std::atomic<bool> pauseOnce{false};

protected:
    void DoWork() override {
        inWork = true;
        if (pauseOnce.exchange(false)) Pause();
        while (block && !StopRequested) std::this_thread::sleep_for(1ms);
        if (StopRequested) sawStop = true;
        ++runs;
        inWork = false;
    }
};

void WaitUntil(const std::function<bool()>& condition) {
    auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!condition() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(condition());
}

TEST(TThreadEx, ResumedThreadParksItselfWithoutWork) {
    CountingThread thread;
    std::atomic<int> done{0};
    thread.SetOnWorkDone([&](void*, TThreadEx&) { ++done; }, nullptr);
    thread.Resume();
    thread.WaitIdle();
    EXPECT_TRUE(thread.IdleEvent.IsSet());
    EXPECT_TRUE(thread.StopRequested);
    WaitUntil([&] { return thread.WaitMode == TThreadEx::kParked; });
    EXPECT_EQ(thread.runs, 0);
    EXPECT_EQ(done, 0);  // no wake-up yet, so no completion call
}

TEST(TThreadEx, EachStartRunsOnceAndCallsTheCompletionRoutineWithItsContext) {
    CountingThread thread;
    int marker = 0;
    std::atomic<int> done{0};
    std::atomic<void*> seenContext{nullptr};
    std::atomic<TThreadEx*> seenThread{nullptr};
    thread.SetOnWorkDone(
        [&](void* context, TThreadEx& t) {
            seenContext = context;
            seenThread = &t;
            ++done;
        },
        &marker);
    thread.Resume();
    for (int i = 1; i <= 3; ++i) {
        thread.Start();
        thread.WaitIdle();
        EXPECT_EQ(thread.runs, i);
        EXPECT_EQ(done, i);
    }
    EXPECT_EQ(seenContext.load(), &marker);
    EXPECT_EQ(seenThread.load(), &thread);
    EXPECT_TRUE(thread.StopRequested);  // set again by the parking worker
}

TEST(TThreadEx, ManyFastCyclesLoseNoWakeUpAndNeverReturnEarlyFromWaitIdle) {
    CountingThread thread;
    thread.Resume();
    for (int i = 1; i <= 2000; ++i) {
        thread.Start();
        thread.WaitIdle();
        ASSERT_EQ(thread.runs, i) << "cycle " << i;
    }
}

TEST(TThreadEx, StartBeforeResumeRunsTheWork) {
    CountingThread thread;
    thread.Start();
    thread.WaitIdle();
    EXPECT_EQ(thread.runs, 1);
}

TEST(TThreadEx, StartWhileBusyRunsAgainInsteadOfBeingLost) {
    CountingThread thread;
    thread.Resume();
    thread.block = true;
    thread.Start();
    WaitUntil([&] { return thread.inWork.load(); });
    thread.block = false;
    thread.Start();  // arrives while the first run is still going or just ending
    thread.WaitIdle();
    EXPECT_EQ(thread.runs, 2);
}

TEST(TThreadEx, StopDuringWorkIsSeenByTheWorkAndStopWaitParks) {
    CountingThread thread;
    thread.Resume();
    thread.block = true;
    thread.Start();
    WaitUntil([&] { return thread.inWork.load(); });
    EXPECT_FALSE(thread.IdleEvent.IsSet());
    thread.Stop(true);
    EXPECT_TRUE(thread.sawStop);
    EXPECT_TRUE(thread.IdleEvent.IsSet());
    EXPECT_EQ(thread.runs, 1);
}

TEST(TThreadEx, StopOnAParkedThreadDoesNotWakeIt) {
    // Counted after the worker has been joined, so a wake-up caused by Stop cannot hide.
    std::atomic<int> done{0};
    {
        CountingThread thread;
        thread.SetOnWorkDone([&](void*, TThreadEx&) { ++done; }, nullptr);
        thread.Resume();
        thread.WaitIdle();
        thread.Stop(true);
        EXPECT_EQ(thread.runs, 0);
    }
    EXPECT_EQ(done, 1);  // only the destruction's own wake-up
}

TEST(TThreadEx, StopReleasesAPausedWorker) {
    CountingThread thread;
    thread.Resume();
    thread.pauseOnce = true;
    thread.Start();
    WaitUntil([&] { return thread.WaitMode == TThreadEx::kPaused; });
    EXPECT_EQ(thread.runs, 0);
    thread.Stop(true);
    EXPECT_EQ(thread.runs, 1);
    EXPECT_TRUE(thread.sawStop);
}

TEST(TThreadEx, WaitIdleKeepsPumpingSoTheWorkerCanHandWorkToTheWaitingThread) {
    // The worker needs a step run on the waiting thread (as a synchronized UI step would);
    // WaitIdle must run it or both threads would wait for each other forever.
    class HandingThread : public TThreadEx {
    public:
        ~HandingThread() override { EndWorker(); }
        std::atomic<bool> requested{false};
        std::atomic<bool> answered{false};

    protected:
        void DoWork() override {
            requested = true;
            while (!answered) std::this_thread::sleep_for(1ms);
        }
    };
    HandingThread thread;
    std::thread::id waiter = std::this_thread::get_id();
    std::atomic<bool> answeredOnWaiter{false};
    thread.SetMessagePump([&] {
        if (thread.requested && !thread.answered) {
            answeredOnWaiter = std::this_thread::get_id() == waiter;
            thread.answered = true;
        }
    });
    thread.Resume();
    thread.Start();
    thread.WaitIdle();
    EXPECT_TRUE(thread.answered);
    EXPECT_TRUE(answeredOnWaiter);
}

TEST(TThreadEx, DestructionWakesTheWorkerOnceWithoutWork) {
    std::atomic<int> done{0};
    std::atomic<int> runs{-1};
    {
        CountingThread thread;
        thread.SetOnWorkDone(
            [&](void*, TThreadEx& t) {
                ++done;
                runs = static_cast<CountingThread&>(t).runs.load();
            },
            nullptr);
        thread.Resume();
        thread.Start();
        thread.WaitIdle();
        EXPECT_EQ(done, 1);
    }
    EXPECT_EQ(done, 2);  // the final wake-up calls the routine, with no further run
    EXPECT_EQ(runs, 1);
}

TEST(TThreadEx, TerminatedThreadDoesNoMoreWork) {
    std::atomic<int> runs{-1};
    {
        CountingThread thread;
        thread.SetOnWorkDone([&](void*, TThreadEx& t) { runs = static_cast<CountingThread&>(t).runs.load(); }, nullptr);
        thread.Resume();
        thread.WaitIdle();
        thread.Terminate();
        thread.Start();
    }
    // The worker has been joined: whatever the Start could have run, it would have run by now.
    EXPECT_EQ(runs, 0);
}

TEST(TThreadEx, NeverResumedThreadIsDestroyedCleanly) {
    std::atomic<int> done{0};
    {
        CountingThread thread;
        thread.SetOnWorkDone([&](void*, TThreadEx&) { ++done; }, nullptr);
        thread.WaitIdle();  // returns at once: nothing can be busy
    }
    EXPECT_EQ(done, 0);
}

TEST(TThreadEx, StartFromManyThreadsRunsOncePerWakeUpAndLeavesNoStrayWakeUp) {
    // Starts that arrive while the worker is busy coalesce into one more run, so the number of
    // runs depends on timing; what must hold exactly is one completion per run while the thread
    // lives, and after the worker is joined, exactly one more (the destruction's own).
    std::atomic<int> done{0};
    int runsWhenIdle = 0;
    int doneWhenIdle = 0;
    {
        CountingThread thread;
        thread.SetOnWorkDone([&](void*, TThreadEx&) { ++done; }, nullptr);
        thread.Resume();
        std::vector<std::thread> starters;
        for (int i = 0; i < 8; ++i)
            starters.emplace_back([&] {
                for (int k = 0; k < 200; ++k) thread.Start();
            });
        for (auto& s : starters) s.join();
        thread.WaitIdle();
        runsWhenIdle = thread.runs;
        doneWhenIdle = done;
        EXPECT_GE(runsWhenIdle, 1);
        EXPECT_EQ(doneWhenIdle, runsWhenIdle);
    }
    EXPECT_EQ(done, doneWhenIdle + 1);
}

}  // namespace
}  // namespace tabrook
