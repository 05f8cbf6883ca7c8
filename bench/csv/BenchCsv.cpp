// Reads and splits a whole CSV file the way an import does: RecordReader + SplitFieldsInto
// (and, for comparison, the plain LineReader, which knows nothing of multi-line records).
// Usage: bench_csv [--csv=FILE] [benchmark options]. Without --csv a file of 100,000 lines is
// generated in the temporary folder. Reports bytes and lines per second and the peak memory.

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <type_traits>
#include <vector>

#include "transfer/LineReader.h"
#include "transfer/RecordReader.h"
#include "transfer/SplitFields.h"

namespace {

std::string csvPath;

// Seven fields: integer, decimal, quoted text with commas, date, timestamp, quoted text with
// doubled quotes, integer.
void WriteSampleFile(const std::string& path, int lines) {
    std::ofstream out(path, std::ios::binary);
    char line[256];
    for (int i = 0; i < lines; ++i) {
        std::snprintf(line, sizeof line,
                      "%d,%d.%02d,\"Name %d, Street %d\",2024-%02d-%02d,2024-%02d-%02d %02d:%02d:%02d,"
                      "\"note \"\"%d\"\"\",%d\r\n",
                      i, i * 7 % 100000, i % 100, i, i % 977, i % 12 + 1, i % 28 + 1, i % 12 + 1, i % 28 + 1, i % 24,
                      i % 60, i % 60, i % 13, i % 1000);
        out << line;
    }
}

long PeakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Reads every record of the file with reader (a LineReader or a RecordReader) and splits it.
template <typename Reader>
void ReadAndSplitWith(benchmark::State& state, Reader& reader) {
    std::string line;
    std::vector<std::string> fields;
    std::size_t bytes = 0;
    std::size_t lines = 0;
    std::size_t fieldCount = 0;
    for (auto _ : state) {
        std::FILE* file = std::fopen(csvPath.c_str(), "rb");
        if (!file) {
            state.SkipWithError("cannot open the CSV file");
            return;
        }
        bool more = false;
        if constexpr (std::is_same_v<Reader, tabrook::RecordReader>) {
            reader.Start(file, '"');
        } else {
            reader.Start(file);
        }
        for (;;) {
            if constexpr (std::is_same_v<Reader, tabrook::RecordReader>) {
                more = reader.ReadRecord(line);
            } else {
                more = reader.ReadLine(line);
            }
            if (!more && line.empty()) break;
            tabrook::SplitFieldsInto(line, ',', '"', fields);
            fieldCount += fields.size();
            ++lines;
            if (!more) break;
        }
        std::fclose(file);
        bytes += std::filesystem::file_size(csvPath);
        benchmark::DoNotOptimize(fieldCount);
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    state.SetItemsProcessed(static_cast<int64_t>(lines));
    state.counters["lines_per_file"] = static_cast<double>(lines) / static_cast<double>(state.iterations());
    state.counters["fields_per_line"] = static_cast<double>(fieldCount) / static_cast<double>(lines ? lines : 1);
    state.counters["peak_rss_MiB"] = static_cast<double>(PeakRssKiB()) / 1024.0;
}
void ReadAndSplit(benchmark::State& state) {
    tabrook::RecordReader reader;
    ReadAndSplitWith(state, reader);
}
BENCHMARK(ReadAndSplit)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void ReadLinesAndSplit(benchmark::State& state) {
    tabrook::LineReader reader;
    ReadAndSplitWith(state, reader);
}
BENCHMARK(ReadLinesAndSplit)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--csv=", 6) == 0) {
            csvPath = argv[i] + 6;
        } else {
            rest.push_back(argv[i]);
        }
    }
    std::filesystem::path generated;
    if (csvPath.empty()) {
        generated = std::filesystem::temp_directory_path() / "tabrook-bench-100k.csv";
        WriteSampleFile(generated.string(), 100000);
        csvPath = generated.string();
    }
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!generated.empty()) std::filesystem::remove(generated);
    return 0;
}
