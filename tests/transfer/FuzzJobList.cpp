// Feeds arbitrary bytes as a job list file: reading never fails on a readable file, every job
// has a table name without tab or line feed, and writing the jobs back then reading them again
// gives the same list.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "transfer/Host.h"
#include "transfer/JobListFile.h"
#include "transfer/RunContext.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

std::string TempPath(const char* name) {
    return std::string("/tmp/tabrook-fuzz-") + std::to_string(getpid()) + "-" + name;
}

}  // namespace

// The reader shows no box under AutoClose; should it, the box is answered at once.
struct QuietHost : tabrook::Host {
    int MessageBox(const std::string&, tabrook::MsgIcon, tabrook::MsgButtons) override { return tabrook::kMsgOk; }
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = TempPath("in.lst");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Check(file != nullptr);
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    QuietHost host;
    tabrook::RunContext context;
    context.AutoClose = true;
    Check(tabrook::ReadJobList(path, context, host));
    std::vector<tabrook::JobListRow> rows;
    bool writable = true;
    for (std::size_t i = 0; i < context.JobList.Count(); ++i) {
        const tabrook::Job& job = context.JobList[i];
        Check(!job.Table.empty());
        Check(job.Table.find_first_of("\t\n") == std::string::npos);
        Check(job.Csv.find_first_of("\t\n") == std::string::npos);
        // A CR inside a name is data the writer refuses (it would end the line elsewhere).
        if ((job.Table + job.Csv).find('\r') != std::string::npos) writable = false;
        rows.push_back({job.Table, job.Csv});
    }
    const std::string out = TempPath("out.lst");
    std::string error;
    Check(tabrook::WriteJobList(out, 0, rows, &error) == writable);
    if (writable) {
        tabrook::RunContext again;
        Check(tabrook::ReadJobList(out, again, host));
        Check(again.JobList.Count() == rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            Check(again.JobList[i].Table == rows[i].Table && again.JobList[i].Csv == rows[i].Csv);
        }
    }
    std::remove(path.c_str());
    std::remove(out.c_str());
    return 0;
}
