// Fuzz target for the SQL front end: any text must either parse or raise an OraError. A parsed
// query or DML statement is prepared against a small catalog, its placeholders are bound (values
// of every type, chosen by the input's last byte) and it is run, then rolled back so the catalog
// and rows stay as they were. ORA-00600 is the engine's internal-fault error: raised for a
// statement the parser accepted, it is a finding, so the run aborts.

#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ocilite/engine/Engine.h"
#include "ocilite/engine/Parser.h"
#include "ocilite/types/OraError.h"

namespace {

// A private folder for the run's database and its journal files, removed when the process
// ends (constructed before the session, so destroyed after it).
struct ScratchFolder {
    std::filesystem::path path;
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ocilite-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
};

std::unique_ptr<ocilite::Session>& SharedSession() {
    static ScratchFolder scratch;
    static std::unique_ptr<ocilite::Session> session = [] {
        std::string path = (scratch.path / "fuzz.db").string();
        auto s = ocilite::Session::Logon("fuzz", "fuzz", path, true);
        for (const char* ddl :
             {"CREATE TABLE t(a NUMBER(5) PRIMARY KEY, b VARCHAR2(10), c DATE, d CHAR(2),"
              " e NVARCHAR2(5), f TIMESTAMP WITH TIME ZONE, g INTERVAL DAY TO SECOND)",
              "CREATE VIEW v AS SELECT a, b FROM t WHERE a > 1",
              "INSERT INTO t VALUES (1, 'one', DATE '2020-01-01', 'a', N'x', NULL, NULL)",
              "INSERT INTO t VALUES (2, 'two', NULL, 'bb', NULL, TIMESTAMP '2020-01-02 03:04:05 +02:00',"
              " INTERVAL '1 02:03:04' DAY TO SECOND)"}) {
            s->Prepare(ddl)->Execute();
        }
        s->Commit();
        return s;
    }();
    return session;
}

// Bind values of each type the engine takes; a statement gets them in turn from a start picked
// by the input, so every placeholder position meets every type.
std::vector<ocilite::Value> BindValues() {
    using namespace ocilite;
    DatetimeValue date;
    date.value.year = 2020;
    date.value.month = 2;
    date.value.day = 29;
    return {TextValue{"1"}, OraNumber::FromInt64(2), std::monostate{}, TextValue{"x"}, BinaryDoubleValue{3.5},
            date,           RawValue{"\x01\x02"},    OraIntervalDS{}};
}

[[noreturn]] void InternalFault(std::string_view sql, const ocilite::OraError& e) {
    std::fprintf(stderr, "internal fault for a statement the parser accepted:\n%.*s\n%s\n",
                 static_cast<int>(sql.size()), sql.data(), e.what());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view sql(reinterpret_cast<const char*>(data), size);
    try {
        ocilite::ParseStatement(sql);
    } catch (const ocilite::OraError&) {
        return 0;
    }
    static const std::vector<ocilite::Value> values = BindValues();
    const size_t start = size ? data[size - 1] : 0;
    auto& session = *SharedSession();
    try {
        auto st = session.Prepare(sql);
        const auto type = st->Type();
        const bool runs = type == ocilite::StatementType::Select || type == ocilite::StatementType::Insert ||
                          type == ocilite::StatementType::Update || type == ocilite::StatementType::Delete;
        if (runs) {
            for (size_t i = 0; i < st->BindNames().size(); ++i)
                st->Bind(static_cast<int>(i), values[(start + i) % values.size()]);
            st->Execute();
            std::vector<ocilite::Value> row;
            for (int n = 0; n < 10 && type == ocilite::StatementType::Select && st->Fetch(row); ++n) {}
        }
    } catch (const ocilite::OraError& e) {
        if (e.Code() == 600) InternalFault(sql, e);
    }
    try {
        session.Rollback();
    } catch (const ocilite::OraError& e) {
        if (e.Code() == 600) InternalFault(sql, e);
    }
    return 0;
}
