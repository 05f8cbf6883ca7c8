#pragma once
// The owning list of jobs. Jobs keep their addresses while the list grows, so the transfer
// thread and the job window may hold a Job& across appends; Clear() frees them.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "transfer/Job.h"

namespace tabrook {

class JobList {
public:
    JobList() = default;
    JobList(JobList&&) noexcept = default;
    JobList& operator=(JobList&&) noexcept = default;

    Job& Add(std::string table, std::string csv);
    void Clear() { jobs_.clear(); }

    std::size_t Count() const { return jobs_.size(); }
    bool Empty() const { return jobs_.empty(); }
    Job& operator[](std::size_t index) { return *jobs_.at(index); }
    const Job& operator[](std::size_t index) const { return *jobs_.at(index); }

private:
    std::vector<std::unique_ptr<Job>> jobs_;
};

}  // namespace tabrook
