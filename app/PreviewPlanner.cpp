#include "app/PreviewPlanner.h"

#include <filesystem>

#include "app/DataPreview.h"
#include "app/DefaultFileFolder.h"
#include "transfer/ClientCharset.h"
#include "transfer/Host.h"
#include "transfer/Job.h"
#include "transfer/Tdm.h"

namespace tabrook {

namespace {

// The previews' view of the user while a job is planned: the status text is kept for the
// window, and nothing else reaches anyone (the previews ask nothing).
class StatusKeeper : public Host {
public:
    int MessageBox(const std::string&, MsgIcon, MsgButtons buttons) override {
        return buttons == MsgButtons::YesNo ? kMsgYes : kMsgOk;
    }
    void SetStatusMessage(const std::string& text) override { status = text; }
    std::string status;
};

}  // namespace

TransferPlan PreviewPlanner::PlanJob(const Job& job, const TransferSettings& settings) {
    GridModel grid;
    grid.SetTextCharset(ClientCharsetName(dm_.OCI));
    TargetFacts facts;
    StatusKeeper keeper;
    PreviewTarget target{grid, dm_, keeper, settings, facts};
    PreviewTable(target, job.Table);
    // A bare file name is taken from the default folder, as the window's field does.
    std::string csv = job.Csv;
    const std::filesystem::path path(csv);
    if (path.has_filename() && !path.has_parent_path()) csv = (DefaultFileFolder() / path).string();
    facts.CsvFile = csv;
    PreviewCsv(target, csv);
    TransferPlan plan = BuildTransferPlan(ColumnMapping(grid), settings, facts);
    if (show_) show_(JobPreview{job.Table, csv, grid.Snapshot(), facts, keeper.status});
    return plan;
}

}  // namespace tabrook
