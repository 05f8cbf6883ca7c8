// End-to-end timing of the import and export engines against the embedded database:
//   transfer_bench create DB            creates the benchmark table BENCH in database file DB
//   transfer_bench create-ts DB         creates BENCHTS: BENCH's columns, a TIMESTAMP(3) and a
//                                       TIMESTAMP WITH TIME ZONE (format RRRR-MM-DD HH24:MI:SSXFF)
//   transfer_bench import DB CSV [TABLE [N]]  imports CSV into BENCH (or TABLE) through the import
//                                       engine, N rows per execute (default: the engine's; 1: row by row)
//   transfer_bench export DB OUT [TABLE] exports BENCH (or TABLE) through the export engine
// TIMESTAMPFMT in the environment replaces the timestamp format (default RRRR-MM-DD HH24:MI:SSXFF:
// a TIMESTAMP without a zone cannot be written or read with TZH:TZM, ORA-01821).
// Each prints "<phase> <rows> <seconds>" for the engine call alone (without the program's
// start and logon, which run.sh measures with the real tabrook); insert_path.sh and export.sh
// put the SQLite shell's times and another build's beside them, to compare one engine path
// before and after a change. When the OCI library
// is the embedded engine's, the round trips a remote server would have cost for the engine
// call go to standard error as "round_trips <n>" (OCILITE_ROUND_TRIP_US makes each one wait).
#include <dlfcn.h>

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
#include "transfer/TransferPlan.h"
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
    bool StopPending() const override { return false; }
};

// The embedded engine's count of simulated round trips, or -1 with another OCI library.
long long RoundTrips() {
    const char* path = std::getenv("TABROOK_OCI_LIBRARY");
    void* lib = path != nullptr ? dlopen(path, RTLD_NOW | RTLD_NOLOAD) : nullptr;
    if (lib == nullptr) return -1;
    auto count = reinterpret_cast<unsigned long long (*)()>(dlsym(lib, "OCILiteRoundTrips"));
    const long long n = count != nullptr ? static_cast<long long>(count()) : -1;
    dlclose(lib);
    return n;
}

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
    if (!dm.OCI.Connect()) return Fail("logon", dm.OCI.ErrMsg());

    if (phase == "create" || phase == "create-ts") {
        const std::string columns =
            "ID number(10) not null, NAME varchar2(40), AMOUNT number(10,2), BORN date, NOTE varchar2(60), "
            "QTY number(5), CODE char(2)";
        dm.OCIcur.SetSQL(phase == "create" ? "create table BENCH (" + columns + ")"
                                           : "create table BENCHTS (" + columns +
                                                 ", STAMP timestamp(3), STAMPTZ timestamp with time zone)");
        if (!dm.OCIcur.Execute(0)) return Fail("create", dm.OCIcur.ErrMsg());
        dm.OCI.Commit();
        return 0;
    }
    if (argc < 4) return Fail("usage", "a file is needed");
    const std::string file = argv[3];
    const std::string table = argc > 4 ? argv[4] : "BENCH";

    TransferSettings settings;
    settings.Mode = phase == "export" ? 1 : 0;
    settings.ErrCnt = 0;
    settings.TimestampFmt = "RRRR-MM-DD HH24:MI:SSXFF";  // one format for both timestamp columns
    if (const char* format = std::getenv("TIMESTAMPFMT")) settings.TimestampFmt = format;
    RunContext context;
    QuietHost host;
    GridModel grid;
    PreviewTarget target{grid, dm, host, settings, context};
    if (!PreviewTable(target, table)) return Fail("preview", "table " + table + " cannot be described");
    if (!PreviewCsv(target, file)) return Fail("preview", "cannot read " + file);

    BenchState state;
    state.JobListRun = true;  // no boxes: an unattended run
    std::string message;
    const long long tripsBefore = RoundTrips();
    const auto start = std::chrono::steady_clock::now();
    ImportOptions options;
    if (argc > 5) options.BatchRows = std::atoi(argv[5]);
    TargetFacts facts = context;
    facts.TableName = table;
    if (phase == "export") facts.CsvFile = file;
    const TransferPlan plan = BuildTransferPlan(ColumnMapping(grid), settings, facts);
    const int rc = phase == "export" ? Export(state, dm, host, plan, message) : Import(state, dm, host, plan, message, options);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (rc != 0 || state.ErrorCount != 0) {
        return Fail(phase,
                    "result " + std::to_string(rc) + ", " + std::to_string(state.ErrorCount) + " refused: " + message);
    }
    std::printf("%s %d %.3f\n", phase.c_str(), state.SuccessCount, elapsed.count());
    if (tripsBefore >= 0) std::fprintf(stderr, "round_trips %lld\n", RoundTrips() - tripsBefore);
    return 0;
}
