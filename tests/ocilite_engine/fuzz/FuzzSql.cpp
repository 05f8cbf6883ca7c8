// Fuzz target for the SQL front end: any text must either parse or raise an OraError, and a
// parsed statement must translate against a small catalog (or raise an OraError) without
// crashing. Executing is left out so runs stay fast and side-effect free.

#include <stdlib.h>

#include <cstddef>
#include <filesystem>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

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
        for (const char* ddl : {"CREATE TABLE t(a NUMBER(5) PRIMARY KEY, b VARCHAR2(10), c DATE, d CHAR(2),"
                                " e NVARCHAR2(5), f TIMESTAMP WITH TIME ZONE, g INTERVAL DAY TO SECOND)",
                                "CREATE VIEW v AS SELECT a, b FROM t WHERE a > 1"}) {
            s->Prepare(ddl)->Execute();
        }
        return s;
    }();
    return session;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view sql(reinterpret_cast<const char*>(data), size);
    try {
        ocilite::ParseStatement(sql);
    } catch (const ocilite::OraError&) {
        return 0;
    }
    try {
        auto st = SharedSession()->Prepare(sql);
        // queries and DML are translated at prepare time; only queries are run
        if (st->Type() == ocilite::StatementType::Select) {
            for (int i = 0; i < static_cast<int>(st->BindNames().size()); ++i) st->Bind(i, ocilite::TextValue{"1"});
            st->Execute();
            std::vector<ocilite::Value> row;
            for (int n = 0; n < 10 && st->Fetch(row); ++n) {
            }
        }
    } catch (const ocilite::OraError&) {
    }
    return 0;
}
