#include "tests/ocilite_engine/EngineTestSupport.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace ocilite::test {

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("ocilite-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string Show(const Value& v) {
    switch (v.index()) {
        case 0: return "<null>";
        case 1: return std::get<TextValue>(v).bytes;
        case 2: return std::get<OraNumber>(v).ToText();
        case 3: {
            const OraTimestamp& t = std::get<DatetimeValue>(v).value;
            char buf[80];
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%09u", t.year, t.month, t.day, t.hour,
                          t.minute, t.second, t.nanos);
            std::string s = buf;
            if (t.hasZone) {
                std::snprintf(buf, sizeof buf, " %+d", t.tzMinutes);
                s += buf;
            }
            return s;
        }
        case 4: return std::get<OraIntervalYM>(v).ToText(2);
        case 5: return std::get<OraIntervalDS>(v).ToText(2, 6);
        case 6: return "raw:" + std::to_string(std::get<RawValue>(v).bytes.size());
        case 7: return std::to_string(std::get<BinaryFloatValue>(v).value);
        case 8: return std::to_string(std::get<BinaryDoubleValue>(v).value);
        case 9: return std::get<RowidValue>(v).text;
        default: return "lob:" + std::get<LobRefValue>(v).locator;
    }
}

void EngineTest::SetUp() {
    ::setenv("OCILITE_LOCK_TIMEOUT_MS", "300", 1);
    db_ = dir_.File("test.db");
    session_ = Logon();
}

std::unique_ptr<Session> EngineTest::Logon(const std::string& user, const std::string& pw, bool create) {
    return Session::Logon(user, pw, db_, create);
}

uint64_t EngineTest::Exec(const std::string& sql, Session* s) {
    auto st = (s ? s : session_.get())->Prepare(sql);
    st->Execute();
    return st->RowCount();
}

std::vector<std::string> EngineTest::Rows(const std::string& sql, Session* s) {
    auto st = (s ? s : session_.get())->Prepare(sql);
    st->Execute();
    std::vector<std::string> out;
    std::vector<Value> row;
    while (st->Fetch(row)) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i) {
            if (i) line += '|';
            line += Show(row[i]);
        }
        out.push_back(line);
    }
    return out;
}

std::string EngineTest::ErrorOf(const std::string& sql, Session* s) {
    try {
        auto st = (s ? s : session_.get())->Prepare(sql);
        st->Execute();
        std::vector<Value> row;
        if (st->Type() == StatementType::Select)
            while (st->Fetch(row)) {}
        return "";
    } catch (const OraError& e) {
        return e.Message();
    }
}

}  // namespace ocilite::test
