#include "transfer/JobList.h"

#include <utility>

namespace tabrook {

Job& JobList::Add(std::string table, std::string csv) {
    auto job = std::make_unique<Job>();
    job->Table = std::move(table);
    job->Csv = std::move(csv);
    jobs_.push_back(std::move(job));
    return *jobs_.back();
}

}  // namespace tabrook
