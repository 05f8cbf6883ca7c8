// Values per second for the datetime conversions on the import and export paths, next to the
// cost of inserting one 7-column row into SQLite (prepared statement, one transaction), so the
// ratio can be read off one run: each conversion should cost under a tenth of a row insert.

#include <unistd.h>

#include <benchmark/benchmark.h>
#include <filesystem>
#include <sqlite3.h>
#include <string>

#include "ocilite/types/DatetimeFormat.h"
#include "ocilite/types/DatetimeOci.h"
#include "ocilite/types/OraInterval.h"

using namespace ocilite;

namespace {

const OraTimestamp kNow = [] {
    OraTimestamp t = OraTimestamp::Now(true);
    t.nanos = 0;
    return t;
}();

void ParseDate(benchmark::State& state) {
    const DatetimeFormat f = DatetimeFormat::Compile("RRRR-MM-DD HH24:MI:SS", FormatUse::Parse, DatetimeKind::Date);
    for (auto _ : state) benchmark::DoNotOptimize(Parse("2024-03-05 13:45:09", f, DatetimeKind::Date, kNow));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ParseDate);

void ParseTimestampTz(benchmark::State& state) {
    const DatetimeFormat f =
        DatetimeFormat::Compile("RRRR-MM-DD HH24:MI:SSXFF TZH:TZM", FormatUse::Parse, DatetimeKind::TimestampTz);
    for (auto _ : state)
        benchmark::DoNotOptimize(Parse("2024-03-05 13:45:09.123456 +09:00", f, DatetimeKind::TimestampTz, kNow));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ParseTimestampTz);

void RenderDate(benchmark::State& state) {
    const DatetimeFormat f = DatetimeFormat::Compile("RRRR-MM-DD HH24:MI:SS", FormatUse::Render, DatetimeKind::Date);
    OraTimestamp t = kNow;
    t.hasZone = false;
    std::string out;
    for (auto _ : state) {
        out.clear();
        RenderTo(out, t, f, 0);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(RenderDate);

void RenderTimestampTz(benchmark::State& state) {
    const DatetimeFormat f =
        DatetimeFormat::Compile("RRRR-MM-DD HH24:MI:SSXFF TZH:TZM", FormatUse::Render, DatetimeKind::TimestampTz);
    std::string out;
    for (auto _ : state) {
        out.clear();
        RenderTo(out, kNow, f, 6);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(RenderTimestampTz);

// The plain path of the same formats (a character buffer, no strings), and the whole
// OCIDateTimeToText as the client calls it per value.
void RenderPlainDate(benchmark::State& state) {
    const DatetimeFormat f = DatetimeFormat::Compile("RRRR-MM-DD HH24:MI:SS", FormatUse::Render, DatetimeKind::Date);
    OraTimestamp t = kNow;
    t.hasZone = false;
    char out[64];
    size_t length = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RenderPlain(t, f, 0, out, sizeof out, length));
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(RenderPlainDate);

void RenderPlainTimestampTz(benchmark::State& state) {
    const DatetimeFormat f =
        DatetimeFormat::Compile("RRRR-MM-DD HH24:MI:SSXFF TZH:TZM", FormatUse::Render, DatetimeKind::TimestampTz);
    char out[64];
    size_t length = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RenderPlain(kNow, f, 6, out, sizeof out, length));
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(RenderPlainTimestampTz);

void OciDateTimeToTextTz(benchmark::State& state) {
    char out[256];
    for (auto _ : state) {
        uint32_t size = sizeof out;
        OciDateTimeToText(kNow, DatetimeKind::TimestampTz, "RRRR-MM-DD HH24:MI:SSXFF TZH:TZM", 6, "", out, &size);
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(OciDateTimeToTextTz);

void ParseDSInterval(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(OraIntervalDS::Parse("5 04:03:02.123456"));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ParseDSInterval);

// The reference: one row of seven columns through a prepared INSERT in one open transaction,
// into an in-memory database (range 0) and into a database file in the temporary folder (range 1).
void SqliteInsertRow(benchmark::State& state) {
    sqlite3* db = nullptr;
    std::string path = ":memory:";
    if (state.range(0) == 1) {
        path =
            (std::filesystem::temp_directory_path() / ("bench_datetime_" + std::to_string(getpid()) + ".db")).string();
        std::filesystem::remove(path);
    }
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE t(a INTEGER, b TEXT, c REAL, d TEXT, e BLOB, f TEXT, g INTEGER)", nullptr, nullptr,
                 nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?,?,?,?,?,?,?)", -1, &stmt, nullptr);
    const unsigned char key[11] = {0x1A, 0xB8, 3, 5, 13, 45, 9, 0, 0, 0, 0};
    int64_t i = 0;
    for (auto _ : state) {
        sqlite3_bind_int64(stmt, 1, ++i);
        sqlite3_bind_text(stmt, 2, "some name", -1, SQLITE_STATIC);
        sqlite3_bind_double(stmt, 3, 1234.5);
        sqlite3_bind_text(stmt, 4, "2024-03-05 13:45:09", -1, SQLITE_STATIC);
        sqlite3_bind_blob(stmt, 5, key, sizeof key, SQLITE_STATIC);
        sqlite3_bind_text(stmt, 6, "a longer text value of a row", -1, SQLITE_STATIC);
        sqlite3_bind_int64(stmt, 7, i * 7);
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    if (path != ":memory:") std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(SqliteInsertRow)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
