#pragma once
// Plans the jobs of a job-list run on the transfer thread: learns each job's table and file as
// the window's previews would, hands what it found to the window without waiting for it, and
// returns the job's transfer plan. The program's planner lives with the previews; without one
// the thread plans a job from its names alone.

#include "transfer/TransferPlan.h"

namespace tabrook {

struct Job;

class JobPlanner {
public:
    virtual ~JobPlanner() = default;
    virtual TransferPlan PlanJob(const Job& job, const TransferSettings& settings) = 0;
};

}  // namespace tabrook
