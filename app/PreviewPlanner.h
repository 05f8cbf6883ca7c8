#pragma once
// The program's planner of job-list jobs (see JobPlanner). For each job it runs the window's
// previews on a grid of its own, on the transfer thread's session: the table's columns (and,
// in Export mode, its first rows), then the start of the CSV file. It builds the job's plan
// from what they found and hands the same picture to the window (a JobPreview) through a sink
// that must not wait, so the window shows each job's table and file as it runs.

#include <functional>
#include <string>

#include "app/GridModel.h"
#include "transfer/JobPlanner.h"
#include "transfer/TargetFacts.h"

namespace tabrook {

class Tdm;

// What the window shows of a job while it runs.
struct JobPreview {
    std::string TableText;  // the table field
    std::string CsvText;    // the CSV field (a bare file name completed with the program's folder)
    GridModel::Contents Grid;
    TargetFacts Facts;
    std::string Status;  // the message panel, as the previews left it
};

class PreviewPlanner : public JobPlanner {
public:
    using Sink = std::function<void(JobPreview)>;
    // dm is the transfer thread's data module; show receives each job's preview (may be empty).
    PreviewPlanner(Tdm& dm, Sink show) : dm_(dm), show_(std::move(show)) {}

    TransferPlan PlanJob(const Job& job, const TransferSettings& settings) override;

private:
    Tdm& dm_;
    Sink show_;
};

}  // namespace tabrook
