// End-to-end timing of the import and export engines against the embedded database:
//   transfer_bench create DB            creates the benchmark table in database file DB
//   transfer_bench import DB CSV        imports CSV into it through the import engine
//   transfer_bench export DB OUT [TABLE] exports it (or TABLE) again through the export engine
// Each prints "<phase> <rows> <seconds>" for the engine call alone; run.sh adds the process
// figures (wall time, peak RSS) and the SQLite shell's times beside them.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/DataPreview.h"
#include "app/GridModel.h"
#include "transfer/ExportEngine.h"
#include "transfer/Host.h"
#include "transfer/ImportEngine.h"
#include "transfer/RunContext.h"
#include "transfer/Tdm.h"
#include "transfer/TransferJobState.h"
#include "transfer/TransferSettings.h"

namespace {

using namespace tabrook;

class QuietHost : public Host {
public:
    int MessageBox(const std::string& text, MsgIcon, MsgButtons buttons) override {
        std::fprintf(stderr, "box: %s\n", text.c_str());
        return buttons == MsgButtons::YesNo ? kMsgNo : kMsgOk;
    }
};

class BenchState : public TransferJobState {
public:
    explicit BenchState(const GridModel& grid) : grid_(grid) {}
    void SyncReadColumns() override { ReadGridColumnsInto(grid_, *this); }
    void SyncShowCounts() override {}
    bool StopPending() const override { return false; }

private:
    const GridModel& grid_;
};

int Fail(const std::string& what, const std::string& why) {
    std::fprintf(stderr, "%s: %s\n", what.c_str(), why.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Fail("usage", "transfer_bench create DB | import DB CSV | export DB OUT");
    const std::string phase = argv[1];
    Tdm dm;
    dm.OCI.User = "bench";
    dm.OCI.Password = "bench";
    dm.OCI.ConnStr = argv[2];
    if (!dm.OCI.Connect()) return Fail("logon", dm.OCI.ErrMsg);

    if (phase == "create") {
        dm.OCIcur.SetSQL(
            "create table BENCH (ID number(10) not null, NAME varchar2(40), AMOUNT number(10,2), BORN date, "
            "NOTE varchar2(60), QTY number(5), CODE char(2))");
        if (!dm.OCIcur.Execute(0)) return Fail("create", dm.OCIcur.ErrMsg);
        // The same rows with a TIMESTAMP(3) and a TIMESTAMP WITH TIME ZONE column more; filled
        // from BENCH by export.sh.
        dm.OCIcur.SetSQL(
            "create table BENCHTS (ID number(10) not null, NAME varchar2(40), AMOUNT number(10,2), BORN date, "
            "NOTE varchar2(60), QTY number(5), CODE char(2), STAMP timestamp(3), STAMPTZ timestamp with time zone)");
        if (!dm.OCIcur.Execute(0)) return Fail("create", dm.OCIcur.ErrMsg);
        dm.OCI.Commit();
        return 0;
    }
    if (argc < 4) return Fail("usage", "a file is needed");
    const std::string file = argv[3];
    const std::string table = argc > 4 && phase == "export" ? argv[4] : "BENCH";

    TransferSettings settings;
    settings.Mode = phase == "export" ? 1 : 0;
    settings.ErrCnt = 0;
    // A TIMESTAMP without a zone cannot be written with TZH:TZM (ORA-01821): BENCHTS is exported
    // with a format given here.
    if (const char* format = std::getenv("TIMESTAMPFMT")) settings.TimestampFmt = format;
    RunContext context;
    QuietHost host;
    GridModel grid;
    PreviewTarget target{grid, dm, host, settings, context};
    if (!PreviewTable(target, table)) return Fail("preview", "table " + table + " cannot be described");
    if (!PreviewCsv(target, file)) return Fail("preview", "cannot read " + file);

    BenchState state(grid);
    state.JobListRun = true;  // no boxes: an unattended run
    std::string message;
    const auto start = std::chrono::steady_clock::now();
    const int rc = phase == "export" ? Export(state, dm, host, settings, table, file, message)
                                     : Import(state, dm, host, settings, context, "BENCH", context.CsvFile, message);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (rc != 0 || state.ErrorCount != 0) {
        return Fail(phase,
                    "result " + std::to_string(rc) + ", " + std::to_string(state.ErrorCount) + " refused: " + message);
    }
    std::printf("%s %d %.3f\n", phase.c_str(), state.SuccessCount, elapsed.count());
    return 0;
}
