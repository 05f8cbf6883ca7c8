// Values per second for the NUMBER conversions on the import and export paths, beside the
// cost of one SQLite row insert (7 columns, prepared statement, one transaction, in memory)
// so the ratio can be read off one run: items_per_second of each number benchmark should be
// at least ten times that of BM_SqliteInsertRow7.
#include <array>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <sqlite3.h>
#include <string>

#include "ocilite/types/NumberFormatModel.h"
#include "ocilite/types/OraNumber.h"
#include "ocilite/types/OraNumberOci.h"

using ocilite::OraNumber;

namespace {

const std::array<const char*, 3> kImportTexts = {"12345", "-1234.56", "0.05"};

void BM_Parse(benchmark::State& state) {
    size_t i = 0;
    for (auto _ : state) {
        OraNumber n = OraNumber::Parse(kImportTexts[i++ % kImportTexts.size()]);
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void BM_FitToPrecisionScale(benchmark::State& state) {
    const std::array<OraNumber, 3> values = {OraNumber::Parse("12345"), OraNumber::Parse("-1234.567"),
                                             OraNumber::Parse("0.05")};
    size_t i = 0;
    for (auto _ : state) {
        OraNumber n = values[i++ % values.size()].FitToPrecisionScale(10, 2);
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void BM_ToText(benchmark::State& state) {
    const std::array<OraNumber, 3> values = {OraNumber::Parse("12345"), OraNumber::Parse("-1234.56"),
                                             OraNumber::Parse("0.05")};
    size_t i = 0;
    for (auto _ : state) {
        std::string s = values[i++ % values.size()].ToText();
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void BM_FormatFixedMask(benchmark::State& state) {
    const std::array<OraNumber, 3> values = {OraNumber::Parse("12345"), OraNumber::Parse("-1234.56"),
                                             OraNumber::Parse("0.05")};
    size_t i = 0;
    for (auto _ : state) {
        std::string s = values[i++ % values.size()].Format("FM99999999.09");
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

// One compiled column mask, general path (Render: strings) against the plain one (RenderPlain:
// a character buffer), and the whole OCINumberToText as the client calls it per value.
void BM_MaskRenderGeneral(benchmark::State& state) {
    const ocilite::NumberFormatModel model = ocilite::NumberFormatModel::Compile("FM99999999.09");
    const ocilite::NumberFormatSymbols symbols;
    const std::array<OraNumber, 3> values = {OraNumber::Parse("12345"), OraNumber::Parse("-1234.56"),
                                             OraNumber::Parse("0.05")};
    size_t i = 0;
    for (auto _ : state) {
        std::string s = model.Render(values[i++ % values.size()], symbols);
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void BM_MaskRenderPlain(benchmark::State& state) {
    const ocilite::NumberFormatModel model = ocilite::NumberFormatModel::Compile("FM99999999.09");
    const ocilite::NumberFormatSymbols symbols;
    const std::array<OraNumber, 3> values = {OraNumber::Parse("12345"), OraNumber::Parse("-1234.56"),
                                             OraNumber::Parse("0.05")};
    size_t i = 0;
    char out[64];
    size_t length = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(model.RenderPlain(values[i++ % values.size()], symbols, out, sizeof out, length));
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void BM_OciNumberToText(benchmark::State& state) {
    std::array<std::array<uint8_t, 22>, 3> values{};
    OraNumber::Parse("12345").ToOciBytes(values[0].data());
    OraNumber::Parse("-1234.56").ToOciBytes(values[1].data());
    OraNumber::Parse("0.05").ToOciBytes(values[2].data());
    size_t i = 0;
    char out[101];
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            ocilite::ocinumber::ToText(values[i++ % values.size()].data(), "FM99999999.09", "", out, sizeof out));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

// The client's digit count for an unformatted column: abs, log10, add, floor, to-int, cmp.
void BM_DigitCountForMask(benchmark::State& state) {
    namespace on = ocilite::ocinumber;
    std::array<std::array<uint8_t, 22>, 3> values{};
    OraNumber::Parse("12345").ToOciBytes(values[0].data());
    OraNumber::Parse("-1234.56").ToOciBytes(values[1].data());
    OraNumber::Parse("0.05").ToOciBytes(values[2].data());
    uint8_t ten[22], one[22];
    OraNumber::FromInt64(10).ToOci(ten);
    OraNumber::FromInt64(1).ToOci(one);
    size_t i = 0;
    for (auto _ : state) {
        const uint8_t* v = values[i++ % values.size()].data();
        uint8_t a[22], lg[22], sum[22], fl[22], af[22];
        on::Abs(v, a);
        int32_t d = 1;
        if (!on::IsZero(a)) {
            on::Log(ten, a, lg);
            on::Add(lg, one, sum);
            on::Floor(sum, fl);
            on::ToInt(fl, 4, on::kSigned, &d);
        }
        on::Floor(a, af);
        benchmark::DoNotOptimize(d += on::Cmp(a, af));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void BM_OciRoundTrip(benchmark::State& state) {
    const std::array<OraNumber, 3> values = {OraNumber::Parse("12345"), OraNumber::Parse("-1234.56"),
                                             OraNumber::Parse("0.05")};
    size_t i = 0;
    uint8_t bytes[22];
    for (auto _ : state) {
        values[i++ % values.size()].ToOci(bytes);
        OraNumber n = OraNumber::FromOci(bytes);
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void BM_SqliteInsertRow7(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_exec(db, "CREATE TABLE t(a INTEGER, b TEXT, c REAL, d BLOB, e TEXT, f INTEGER, g TEXT)", nullptr, nullptr,
                 nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?,?,?,?,?,?,?)", -1, &stmt, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    const std::string key = OraNumber::Parse("-1234.56").SortKey();
    int64_t row = 0;
    for (auto _ : state) {
        sqlite3_bind_int64(stmt, 1, ++row);
        sqlite3_bind_text(stmt, 2, "customer name", -1, SQLITE_STATIC);
        sqlite3_bind_double(stmt, 3, 1234.56);
        sqlite3_bind_blob(stmt, 4, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
        sqlite3_bind_text(stmt, 5, "2024-03-01 13:05:09", -1, SQLITE_STATIC);
        sqlite3_bind_int64(stmt, 6, row * 7);
        sqlite3_bind_text(stmt, 7, "some free text in the last column", -1, SQLITE_STATIC);
        if (sqlite3_step(stmt) != SQLITE_DONE) state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_reset(stmt);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

}  // namespace

BENCHMARK(BM_Parse);
BENCHMARK(BM_FitToPrecisionScale);
BENCHMARK(BM_ToText);
BENCHMARK(BM_FormatFixedMask);
BENCHMARK(BM_MaskRenderGeneral);
BENCHMARK(BM_MaskRenderPlain);
BENCHMARK(BM_OciNumberToText);
BENCHMARK(BM_DigitCountForMask);
BENCHMARK(BM_OciRoundTrip);
BENCHMARK(BM_SqliteInsertRow7);

BENCHMARK_MAIN();
