// The import's and the export's hot paths through the OCI C API, side by side with SQLite's own
// shell doing the same job: N rows of seven columns inserted with a bound INSERT (bound by
// name before every execution, text buffers read from a CSV file, NULL by value size 0, one
// transaction), then
// fetched back one row at a time; and the sqlite3 shell importing the same rows from CSV and
// exporting them as CSV. Prints times, ratios and peak resident memory.
//
//   bench_oci_insert ROWS WORKDIR [SQLITE3]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

#include "ociabi/OciApi.h"
#include "ocilite/engine/Engine.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// Current resident size of this process (VmRSS), to show growth apart from the one-time peak
// of the logon's password hashing.
long CurrentRssKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return 0;
}

// User + system CPU seconds of this process or of its finished children: unlike wall time,
// this does not grow when other work competes for the processors.
double CpuSeconds(int who) {
    rusage u{};
    getrusage(who, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long PeakRssKb(int who) {
    rusage u{};
    getrusage(who, &u);
    return u.ru_maxrss;
}

[[noreturn]] void Die(const char* what, OCIError* err) {
    char buf[512] = {};
    sb4 code = 0;
    if (err != nullptr)
        OCIErrorGet(err, 1, nullptr, &code, reinterpret_cast<OraText*>(buf), sizeof buf, OCI_HTYPE_ERROR);
    std::fprintf(stderr, "%s failed: %s\n", what, buf);
    std::exit(1);
}

void Check(sword rc, const char* what, OCIError* err) {
    if (rc != OCI_SUCCESS) Die(what, err);
}

// Row i of the data set, as the seven text fields a CSV line would carry; every 10th row
// has empty (NULL) optional fields.
void MakeRow(long i, std::vector<std::string>& f) {
    char buf[64];
    f[0] = std::to_string(i + 1);
    f[1] = "Customer name " + std::to_string(i % 9973);
    std::snprintf(buf, sizeof buf, "%ld.%02ld", (i * 37) % 100000, i % 100);
    f[2] = buf;
    std::snprintf(buf, sizeof buf, "%04ld/%02ld/%02ld %02ld:%02ld:%02ld", 2000 + i % 25, 1 + i % 12, 1 + i % 28, i % 24,
                  i % 60, (i * 7) % 60);
    f[3] = buf;
    f[4] = i % 10 == 0 ? "" : "Note for row " + std::to_string(i) + " with some more text";
    f[5] = i % 10 == 0 ? "" : std::to_string(i % 99999);
    f[6] = i % 2 == 0 ? "JP" : "US";
}

int RunShell(const std::string& sqlite3, const std::string& db, const std::string& script) {
    std::string cmd = "'" + sqlite3 + "' '" + db + "' < '" + script + "' > /dev/null";
    int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ROWS WORKDIR [SQLITE3]\n", argv[0]);
        return 2;
    }
    const long rows = std::atol(argv[1]);
    const std::filesystem::path dir = argv[2];
    const std::string sqlite3 = argc > 3 ? argv[3] : "sqlite3";
    std::filesystem::create_directories(dir);
    const std::string db = (dir / "bench.db").string();
    const std::string csv = (dir / "bench.csv").string();
    std::filesystem::remove(db);
    std::filesystem::remove(dir / "sqlite.db");

    // The CSV file the sqlite3 shell imports holds the same values.
    {
        std::ofstream out(csv);
        std::vector<std::string> f(7);
        for (long i = 0; i < rows; ++i) {
            MakeRow(i, f);
            out << f[0] << ',' << f[1] << ',' << f[2] << ',' << f[3] << ',' << f[4] << ',' << f[5] << ',' << f[6]
                << '\n';
        }
    }
    // The same rows through the sqlite3 shell: CSV import into an equivalent table, CSV export.
    // It runs first, while this process is still small: a child inherits its parent's peak
    // resident size in the accounting until it execs.
    const std::string sdb = (dir / "sqlite.db").string();
    const std::string importScript = (dir / "import.sql").string();
    const std::string exportScript = (dir / "export.sql").string();
    std::ofstream(importScript)
        << "CREATE TABLE T (ID INTEGER, NAME TEXT, AMT NUMERIC, D TEXT, NOTE TEXT, QTY INTEGER, "
           "CC TEXT);\n.mode csv\n.import '"
        << csv << "' T\n";
    std::ofstream(exportScript) << ".mode csv\n.output '" << (dir / "export.csv").string() << "'\nSELECT * FROM T;\n";
    auto start = Clock::now();
    double cpu = CpuSeconds(RUSAGE_CHILDREN);
    if (RunShell(sqlite3, sdb, importScript) != 0) return 1;
    const double shellImport = Seconds(start);
    const double shellImportCpu = CpuSeconds(RUSAGE_CHILDREN) - cpu;
    start = Clock::now();
    cpu = CpuSeconds(RUSAGE_CHILDREN);
    if (RunShell(sqlite3, sdb, exportScript) != 0) return 1;
    const double shellExport = Seconds(start);
    const double shellExportCpu = CpuSeconds(RUSAGE_CHILDREN) - cpu;
    const long shellRss = PeakRssKb(RUSAGE_CHILDREN);

    ocilite::Session::Logon("bench", "bench", db, true);

    OCIEnv* env = nullptr;
    OCIError* err = nullptr;
    OCISvcCtx* svc = nullptr;
    OCIInitialize(OCI_OBJECT, nullptr, nullptr, nullptr, nullptr);
    OCIEnvInit(&env, OCI_DEFAULT, 0, nullptr);
    OCIHandleAlloc(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr);
    Check(OCILogon(env, err, &svc, reinterpret_cast<const OraText*>("bench"), 5,
                   reinterpret_cast<const OraText*>("bench"), 5, reinterpret_cast<const OraText*>(db.c_str()),
                   static_cast<ub4>(db.size())),
          "OCILogon", err);
    const long rssAfterLogon = CurrentRssKb();
    auto run = [&](const std::string& sql, ub4 iters) {
        OCIStmt* stmt = nullptr;
        OCIHandleAlloc(env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
        Check(OCIStmtPrepare(stmt, err, reinterpret_cast<const OraText*>(sql.c_str()), static_cast<ub4>(sql.size()),
                             OCI_NTV_SYNTAX, OCI_DEFAULT),
              "prepare", err);
        Check(OCIStmtExecute(svc, stmt, err, iters, 0, nullptr, nullptr, OCI_DEFAULT), sql.c_str(), err);
        return stmt;
    };
    OCIHandleFree(run("CREATE TABLE T (ID NUMBER(10), NAME VARCHAR2(40), AMT NUMBER(10,2), D DATE, "
                      "NOTE VARCHAR2(60), QTY NUMBER(5), CC CHAR(2))",
                      1),
                  OCI_HTYPE_STMT);

    // Import: prepare once, bind every column by name before every execution.
    const std::string insert =
        "INSERT INTO T (\"ID\",\"NAME\",\"AMT\",\"D\",\"NOTE\",\"QTY\",\"CC\") VALUES (:\"ID\",:\"NAME\",:\"AMT\","
        "TO_DATE(:\"D\",'YYYY/MM/DD HH24:MI:SS'),:\"NOTE\",:\"QTY\",:\"CC\")";
    const char* names[] = {":\"ID\"", ":\"NAME\"", ":\"AMT\"", ":\"D\"", ":\"NOTE\"", ":\"QTY\"", ":\"CC\""};
    start = Clock::now();
    cpu = CpuSeconds(RUSAGE_SELF);
    OCIStmt* ins = nullptr;
    OCIHandleAlloc(env, reinterpret_cast<void**>(&ins), OCI_HTYPE_STMT, 0, nullptr);
    Check(OCIStmtPrepare(ins, err, reinterpret_cast<const OraText*>(insert.c_str()), static_cast<ub4>(insert.size()),
                         OCI_NTV_SYNTAX, OCI_DEFAULT),
          "prepare insert", err);
    {
        // The rows come from the same CSV file the shell imports, read and split line by line
        // as an import does, so both sides pay for reading their input.
        std::ifstream in(csv);
        std::string line;
        std::vector<std::string> f(7);
        long i = 0;
        while (std::getline(in, line)) {
            size_t from = 0;
            for (int c = 0; c < 7; ++c) {
                size_t comma = c < 6 ? line.find(',', from) : line.size();
                f[c].assign(line, from, comma - from);
                from = comma + 1;
            }
            OCIBind* bind = nullptr;  // carried from one bind to the next, as the client does
            for (int c = 0; c < 7; ++c) {
                Check(OCIBindByName(ins, &bind, err, reinterpret_cast<const OraText*>(names[c]),
                                    static_cast<sb4>(std::strlen(names[c])), f[c].data(),
                                    f[c].empty() ? 0 : static_cast<sb4>(f[c].size() + 1), SQLT_STR, nullptr, nullptr,
                                    nullptr, 0, nullptr, OCI_DEFAULT),
                      "bind", err);
            }
            Check(OCIStmtExecute(svc, ins, err, 1, 0, nullptr, nullptr, OCI_DEFAULT), "insert", err);
            ++i;
        }
        if (i != rows) {
            std::fprintf(stderr, "read %ld rows, expected %ld\n", i, rows);
            return 1;
        }
    }
    Check(OCITransCommit(svc, err, OCI_DEFAULT), "commit", err);
    const double ociInsert = Seconds(start);
    const double ociInsertCpu = CpuSeconds(RUSAGE_SELF) - cpu;
    OCIHandleFree(ins, OCI_HTYPE_STMT);
    const long rssAfterInsert = CurrentRssKb();

    // Export: select *, describe, define as the client does, fetch one row at a time.
    start = Clock::now();
    cpu = CpuSeconds(RUSAGE_SELF);
    OCIStmt* sel = run("select * from \"T\"", 0);
    OCINumber id, amt, qty;
    char name[41], note[61], cc[3];
    OCIDate d;
    sb2 ind[7];
    ub2 len[7];
    OCIDefine* def = nullptr;
    OCIDefineByPos(sel, &def, err, 1, &id, sizeof id + 1, SQLT_VNU, &ind[0], &len[0], nullptr, OCI_DEFAULT);
    OCIDefineByPos(sel, &def, err, 2, name, sizeof name, SQLT_STR, &ind[1], &len[1], nullptr, OCI_DEFAULT);
    OCIDefineByPos(sel, &def, err, 3, &amt, sizeof amt + 1, SQLT_VNU, &ind[2], &len[2], nullptr, OCI_DEFAULT);
    OCIDefineByPos(sel, &def, err, 4, &d, sizeof d + 1, SQLT_ODT, &ind[3], &len[3], nullptr, OCI_DEFAULT);
    OCIDefineByPos(sel, &def, err, 5, note, sizeof note, SQLT_STR, &ind[4], &len[4], nullptr, OCI_DEFAULT);
    OCIDefineByPos(sel, &def, err, 6, &qty, sizeof qty + 1, SQLT_VNU, &ind[5], &len[5], nullptr, OCI_DEFAULT);
    OCIDefineByPos(sel, &def, err, 7, cc, sizeof cc, SQLT_AFC, &ind[6], &len[6], nullptr, OCI_DEFAULT);
    long fetched = 0;
    sword rc;
    while ((rc = OCIStmtFetch(sel, err, 1, OCI_FETCH_NEXT, OCI_DEFAULT)) == OCI_SUCCESS) ++fetched;
    if (rc != OCI_NO_DATA) Die("fetch", err);
    const double ociFetch = Seconds(start);
    const double ociFetchCpu = CpuSeconds(RUSAGE_SELF) - cpu;
    OCIHandleFree(sel, OCI_HTYPE_STMT);
    if (fetched != rows) {
        std::fprintf(stderr, "fetched %ld rows, expected %ld\n", fetched, rows);
        return 1;
    }
    const long rssAfterFetch = CurrentRssKb();
    const long peakRss = PeakRssKb(RUSAGE_SELF);
    OCILogoff(svc, err);
    OCIHandleFree(env, OCI_HTYPE_ENV);

    std::printf("rows %ld\n", rows);
    std::printf("%-34s %10s %10s %8s   %10s %10s %8s\n", "", "ocilite s", "sqlite3 s", "ratio", "ocilite cpu",
                "sqlite3 cpu", "ratio");
    std::printf("%-34s %10.3f %10.3f %8.2f   %10.3f %10.3f %8.2f\n", "import (bound INSERT / .import)", ociInsert,
                shellImport, ociInsert / shellImport, ociInsertCpu, shellImportCpu, ociInsertCpu / shellImportCpu);
    std::printf("%-34s %10.3f %10.3f %8.2f   %10.3f %10.3f %8.2f\n", "export (fetch / csv output)", ociFetch,
                shellExport, ociFetch / shellExport, ociFetchCpu, shellExportCpu, ociFetchCpu / shellExportCpu);
    std::printf("insert rows/s %.0f, fetch rows/s %.0f\n", rows / ociInsert, rows / ociFetch);
    std::printf("RSS kB: after logon %ld, after insert %ld, after fetch %ld; peak %ld; sqlite3 shell peak %ld\n",
                rssAfterLogon, rssAfterInsert, rssAfterFetch, peakRss, shellRss);
    return 0;
}
