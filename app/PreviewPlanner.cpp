#include "app/PreviewPlanner.h"

#include <filesystem>

#include "app/DataPreview.h"
#include "app/DefaultFileFolder.h"
#include "app/GridHeaderArrangement.h"
#include "transfer/ClientCharset.h"
#include "transfer/Host.h"
#include "transfer/Job.h"
#include "transfer/SqlName.h"
#include "transfer/TableFromFile.h"
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
    if (settings.CreateTable && settings.Mode == 0 && !facts.TableInfoOk &&
        facts.TableFailure.find("ORA-00942") != std::string::npos) {
        // The missing table is made from the file, then described as if it had been there.
        const DoubleByteCode code = ClientDoubleByteCode(dm_.OCI);
        const TableProposal proposal =
            ProposeTable(csv, TableIdentifier(job.Table, code), settings, ClientCharsetName(dm_.OCI), code, nullptr);
        const std::string failure = proposal.Failure.empty() ? CreateTable(dm_, proposal.Statement) : proposal.Failure;
        if (failure.empty()) {
            facts.TableCreated = true;
            PreviewTable(target, job.Table);
        } else {
            facts.PlanFailure = "テーブルを作成できません。" + failure;
        }
    }
    PreviewCsv(target, csv);
    if (settings.MapByHeader && settings.Mode == 0 && facts.TableInfoOk && facts.CsvHasData) {
        if (!settings.WithHeader) {
            facts.PlanFailure = kNoHeaderToMatch;
        } else {
            const HeaderArrangement arranged = ArrangeGridByHeader(grid, facts.CsvHeader, FirstByte(settings.Delimiter));
            if (arranged.Matched == 0) facts.PlanFailure = kHeaderMatchesNoColumn;
            keeper.status = ArrangementSummary(arranged);
        }
    }
    TransferPlan plan = BuildTransferPlan(ColumnMapping(grid), settings, facts);
    if (show_) show_(JobPreview{job.Table, csv, grid.Snapshot(), facts, keeper.status});
    return plan;
}

}  // namespace tabrook
