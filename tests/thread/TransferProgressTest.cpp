// The progress sink read by one thread while another writes it, as the window reads a run's
// counts on its timer: every snapshot holds counts the writer really published, in order, and
// once the job is marked done the counts read are the final ones. (Run under ThreadSanitizer
// by make tsan.)

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "transfer/TransferProgress.h"

namespace tabrook {
namespace {

TEST(TransferProgress, ReadWhileAnotherThreadWritesSeesOnlyPublishedCountsInOrder) {
    TransferProgress progress;
    constexpr long long kRecords = 200000;
    progress.StartRun(false, 1);
    progress.StartJob(1, kRecords * 10, 0);
    std::atomic<bool> go{false};
    std::thread writer([&] {
        while (!go) std::this_thread::yield();
        for (long long r = 1; r <= kRecords; ++r) {
            // One refusal in every hundred records; bytes grow with the records.
            progress.SetCounts(r, r - r / 100, r / 100);
            progress.SetBytesRead(r * 10);
        }
        progress.EndJob();
        progress.EndRun();
    });
    go = true;
    long long lastRecords = 0;
    bool sawDone = false;
    while (!sawDone) {
        const TransferProgress::Snapshot now = progress.Read();
        sawDone = now.JobDone && !now.Running;
        ASSERT_GE(now.Records, lastRecords);
        ASSERT_LE(now.Records, kRecords);
        ASSERT_LE(now.Success + now.Errors, kRecords);
        ASSERT_EQ(now.JobNumber, 1);
        ASSERT_EQ(now.FileBytes, kRecords * 10);
        lastRecords = now.Records;
    }
    writer.join();
    const TransferProgress::Snapshot last = progress.Read();
    EXPECT_EQ(last.Records, kRecords);
    EXPECT_EQ(last.Success, kRecords - kRecords / 100);
    EXPECT_EQ(last.Errors, kRecords / 100);
    EXPECT_EQ(last.BytesRead, kRecords * 10);
}

}  // namespace
}  // namespace tabrook
