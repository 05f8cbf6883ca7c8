#include "transfer/TransferProgress.h"

namespace tabrook {

void TransferProgress::StartRun(bool exportMode, int jobTotal) {
    exportMode_.store(exportMode, std::memory_order_relaxed);
    jobTotal_.store(jobTotal, std::memory_order_relaxed);
    jobNumber_.store(0, std::memory_order_relaxed);
    SetCounts(0, 0, 0);
    SetUpdated(0);
    fileBytes_.store(0, std::memory_order_relaxed);
    bytesRead_.store(0, std::memory_order_relaxed);
    expectedRows_.store(0, std::memory_order_relaxed);
    jobDone_.store(false, std::memory_order_relaxed);
    running_.store(true, std::memory_order_release);
}

void TransferProgress::StartJob(int jobNumber, long long fileBytes, long long expectedRows) {
    SetCounts(0, 0, 0);
    SetUpdated(0);
    bytesRead_.store(0, std::memory_order_relaxed);
    fileBytes_.store(fileBytes, std::memory_order_relaxed);
    expectedRows_.store(expectedRows, std::memory_order_relaxed);
    jobNumber_.store(jobNumber, std::memory_order_relaxed);
    jobDone_.store(false, std::memory_order_relaxed);
    jobs_.fetch_add(1, std::memory_order_release);
}

void TransferProgress::EndJob() {
    jobDone_.store(true, std::memory_order_release);
}

void TransferProgress::EndRun() {
    running_.store(false, std::memory_order_release);
}

TransferProgress::Snapshot TransferProgress::Read() const {
    Snapshot s;
    s.Running = running_.load(std::memory_order_acquire);
    s.Jobs = jobs_.load(std::memory_order_acquire);
    s.JobDone = jobDone_.load(std::memory_order_acquire);
    s.ExportMode = exportMode_.load(std::memory_order_relaxed);
    s.JobNumber = jobNumber_.load(std::memory_order_relaxed);
    s.JobTotal = jobTotal_.load(std::memory_order_relaxed);
    s.Records = records_.load(std::memory_order_relaxed);
    s.Success = success_.load(std::memory_order_relaxed);
    s.Errors = errors_.load(std::memory_order_relaxed);
    s.Updated = updated_.load(std::memory_order_relaxed);
    s.FileBytes = fileBytes_.load(std::memory_order_relaxed);
    s.BytesRead = bytesRead_.load(std::memory_order_relaxed);
    s.ExpectedRows = expectedRows_.load(std::memory_order_relaxed);
    return s;
}

}  // namespace tabrook
