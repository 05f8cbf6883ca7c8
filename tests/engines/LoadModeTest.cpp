// Loading by key. UPSERT over random tables and files ends with the table that "delete the
// row of the key, then insert" gives, done in SQL by the test for the rows it made good; the
// rows it made bad reach the error files in file order; the counts split inserted from
// updated and add up. Every run goes row by row and in arrays, with commit points and the
// error limit inside batches, and must end alike. UPDATE refuses a row without its key's row;
// UPSERT and UPDATE without a key refuse to start.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "tests/engines/EngineTestSupport.h"
#include "transfer/ImportEngine.h"
#include "transfer/LoadMode.h"
#include "transfer/TableKey.h"

namespace tabrook::testing {
namespace {

constexpr char kColumns[] =
    "(ID number(6) constraint %_PK primary key, NAME varchar2(8) not null, AMOUNT number(6,2), DAY date, "
    "CODE char(2))";

std::string Create(const std::string& table) {
    std::string columns = kColumns;
    columns.replace(columns.find('%'), 1, table);
    return "create table " + table + " " + columns;
}

struct Line {
    std::string text;  // the record as written to the file
    int id = 0;        // its key (a good line)
    bool good = false;
};

// A file of n lines over keys 1..2*existing (so about half find their row) and a table that
// holds the odd keys, made from seed. A fifth of the lines are bad in one of six ways, a few
// are empty (no records: the reader passes over them).
struct Scenario {
    std::vector<std::string> initial;  // INSERT statements of the table's rows
    std::vector<Line> lines;

    Scenario(unsigned seed, int existing, int n) {
        std::mt19937 random(seed);
        const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
        const auto values = [&](int id) {
            return std::to_string(id) + ",n" + std::to_string(pick(0, 999)) + "," + std::to_string(pick(0, 9999)) +
                   "." + std::to_string(pick(10, 99)) + ",2021-0" + std::to_string(pick(1, 9)) + "-1" +
                   std::to_string(pick(0, 9)) + " 0" + std::to_string(pick(0, 9)) + ":00:00," +
                   (pick(0, 1) ? "A" : "BC");
        };
        for (int id = 1; id <= 2 * existing; id += 2) initial.push_back(values(id));
        for (int i = 0; i < n; ++i) {
            const int id = pick(1, 2 * existing);
            const int kind = pick(0, 29);
            const std::string good = values(id);
            const std::string rest = good.substr(good.find(',') + 1);
            const std::string tail = rest.substr(rest.find(',') + 1);
            switch (kind) {
                case 0: lines.push_back({std::to_string(id) + ",toolongname," + tail}); break;  // ORA-12899
                case 1: lines.push_back({std::to_string(id) + ",," + tail}); break;             // NOT NULL
                case 2: lines.push_back({std::to_string(id) + ",x,abc,,A"}); break;             // ORA-01722
                case 3: lines.push_back({std::to_string(id) + ",x,1,2021-02-30 00:00:00,A"}); break;
                case 4: lines.push_back({"," + rest}); break;                                 // no key
                case 5: lines.push_back({std::to_string(id) + ",x,12345.6,,A"}); break;         // ORA-01438
                case 6: lines.push_back({""}); break;
                default: lines.push_back({good, id, true}); break;
            }
        }
    }

    std::string File() const {
        std::string out;
        for (const Line& line : lines) out += line.text + "\r\n";
        return out;
    }
};

// The SQL of a line's row: its values as the import converts them.
std::string RowValues(const std::string& record) {
    std::vector<std::string> f;
    std::size_t start = 0;
    for (std::size_t comma; (comma = record.find(',', start)) != std::string::npos; start = comma + 1)
        f.push_back(record.substr(start, comma - start));
    f.push_back(record.substr(start));
    const auto text = [](const std::string& v) { return v.empty() ? std::string("NULL") : "'" + v + "'"; };
    return f[0] + ", " + text(f[1]) + ", " + text(f[2]) + ", TO_DATE(" + text(f[3]) + ", 'RRRR-MM-DD HH24:MI:SS'), " +
           text(f[4]);
}

struct Outcome {
    int rc = 0;
    std::string message;
    int records = 0, success = 0, updated = 0, errors = 0, skipped = 0;
    std::string err, erm;
    Rows table;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
    return out << "rc " << o.rc << " " << o.message << " read " << o.records << " ok " << o.success << " upd "
               << o.updated << " err " << o.errors << " skip " << o.skipped;
}

class LoadMode : public DatabaseTest {
protected:
    Outcome Run(const std::string& table, const std::vector<std::string>& initial, const std::string& csv, int mode,
                int batchRows, const std::function<void(TransferSettings&)>& setup = nullptr) {
        Exec({"drop table " + table, Create(table)});
        std::vector<std::string> inserts;
        for (const std::string& row : initial) inserts.push_back("insert into " + table + " values(" + RowValues(row) + ")");
        Exec(inserts);
        settings_ = TransferSettings{};
        settings_.ErrCnt = 0;
        settings_.LoadMode = mode;
        if (setup) setup(settings_);
        const std::filesystem::path file = Path("load.csv");
        WriteBytes(file, csv);
        Preview(table, file);
        state_.RecordCount = state_.SuccessCount = state_.ErrorCount = state_.UpdatedCount = state_.SkippedCount = 0;
        state_.CancelRequest = false;
        Outcome o;
        o.rc = Import(state_, dm_, host_, Plan(table, context_.CsvFile), o.message, ImportOptions{batchRows});
        o.records = state_.RecordCount;
        o.success = state_.SuccessCount;
        o.updated = state_.UpdatedCount;
        o.errors = state_.ErrorCount;
        o.skipped = state_.SkippedCount;
        o.err = ReadBytes(ErrorRecordPath(file.string()));
        o.erm = ReadBytes(ErrorMessagePath(file.string()));
        o.table = Query("select * from " + table + " order by ID");
        return o;
    }
    void SetUp() override {
        DatabaseTest::SetUp();
        if (HasFatalFailure()) return;
        Exec({Create("LT"), Create("REF")});
        host_.defaultAnswer = kMsgNo;
    }
};

TEST_F(LoadMode, UpsertEndsAsDeleteThenInsertOfTheGoodRows) {
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const Scenario s(seed, 40, 300);
        // The reference: the same table, each good line's key deleted and its row inserted.
        Exec({"drop table REF", Create("REF")});
        std::vector<std::string> sql;
        for (const std::string& row : s.initial) sql.push_back("insert into REF values(" + RowValues(row) + ")");
        std::set<int> keys;
        for (int id = 1; id <= 80; id += 2) keys.insert(id);
        int updated = 0, good = 0, empty = 0;
        std::string err;
        for (const Line& line : s.lines) {
            if (line.text.empty()) ++empty;
            if (!line.good) {
                if (!line.text.empty()) err += line.text + "\r\n";
                continue;
            }
            ++good;
            updated += keys.insert(line.id).second ? 0 : 1;
            sql.push_back("delete from REF where ID = " + std::to_string(line.id));
            sql.push_back("insert into REF values(" + RowValues(line.text) + ")");
        }
        const Outcome single = Run("LT", s.initial, s.File(), kLoadUpsert, 1);
        Exec(sql);
        EXPECT_EQ(single.rc, kImportDone) << single;
        EXPECT_EQ(single.table, Query("select * from REF order by ID"));
        EXPECT_EQ(single.err, err);
        // Empty lines are no records at all (a run of line ends is one line end).
        EXPECT_EQ(single.records, static_cast<int>(s.lines.size()) - empty);
        EXPECT_EQ(single.success, good);
        EXPECT_EQ(single.updated, updated);
        EXPECT_EQ(single.skipped, 0);
        EXPECT_EQ(single.records, single.success + single.errors + single.skipped);
        for (int batchRows : {7, 1000}) {
            SCOPED_TRACE("rows per batch " + std::to_string(batchRows));
            EXPECT_EQ(Run("LT", s.initial, s.File(), kLoadUpsert, batchRows), single);
        }
    }
}

TEST_F(LoadMode, CommitsAndTheErrorLimitFallInsideBatchesAsOneByOne) {
    const Scenario s(7, 30, 120);
    const std::vector<std::function<void(TransferSettings&)>> setups = {
        [](TransferSettings& t) {
            t.AutoCommit = true;
            t.AutoCmtCnt = 4;
        },
        [](TransferSettings& t) {
            t.AutoCommit = true;
            t.AutoCmtCnt = 9;
            t.ErrCnt = 5;  // asked and answered No: the run goes on
        },
        [](TransferSettings& t) {
            t.AutoCommit = true;
            t.AutoCmtCnt = 6;
            t.ErrCnt = 8;
            t.WithHeader = true;
        },
    };
    for (std::size_t k = 0; k < setups.size(); ++k) {
        SCOPED_TRACE("setup " + std::to_string(k));
        for (int mode : {kLoadUpsert, kLoadUpdate}) {
            const Outcome single = Run("LT", s.initial, s.File(), mode, 1, setups[k]);
            EXPECT_EQ(single.records, single.success + single.errors + single.skipped) << single;
            for (int batchRows : {5, 1000}) EXPECT_EQ(Run("LT", s.initial, s.File(), mode, batchRows, setups[k]), single);
        }
    }
    // A job-list run stops at the limit: the rows after the stop leave no trace, the committed
    // ones stay.
    state_.JobListRun = true;
    const auto stops = [](TransferSettings& t) {
        t.AutoCommit = true;
        t.AutoCmtCnt = 7;
        t.ErrCnt = 6;
    };
    const Outcome single = Run("LT", s.initial, s.File(), kLoadUpsert, 1, stops);
    EXPECT_EQ(single.rc, kImportCancelled);
    EXPECT_EQ(single.records, single.success + single.errors + single.skipped) << single;
    EXPECT_EQ(Run("LT", s.initial, s.File(), kLoadUpsert, 1000, stops), single);
    state_.JobListRun = false;
}

TEST_F(LoadMode, UpdateRefusesARowWithoutItsKeysRowAndUpdatesTheOthers) {
    const std::vector<std::string> initial = {"1,one,1.5,2020-01-01 00:00:00,A", "2,two,2,,B"};
    const std::string csv = "2,deux,,,\r\n9,nine,9,,Z\r\n1,un,1.25,2020-01-02 00:00:00,AB\r\n";
    for (int batchRows : {1, 1000}) {
        const Outcome o = Run("LT", initial, csv, kLoadUpdate, batchRows);
        EXPECT_EQ(o.rc, kImportDone);
        EXPECT_EQ(o.err, "9,nine,9,,Z\r\n");
        EXPECT_EQ(o.erm, "キーに一致する行がありません。ID=9\r\n");
        EXPECT_EQ(o.success, 2);
        EXPECT_EQ(o.updated, 2);
        EXPECT_EQ(o.table, (Rows{{"1", "un", "1.25", "2020-01-02", "AB"}, {"2", "deux", "", "", ""}}));
    }
}

TEST_F(LoadMode, UpsertUpdatesARowTheSameBatchInsertedAndKeepsInsertMessages) {
    // Key 5 is new: its first line inserts it, the second and third update it (the last wins);
    // key 6's line has no NAME: refused as an insert would refuse it.
    const std::string csv = "5,a,,,\r\n5,b,,,\r\n6,,,,\r\n5,c,,,\r\n";
    for (int batchRows : {1, 1000}) {
        const Outcome o = Run("LT", {}, csv, kLoadUpsert, batchRows);
        EXPECT_EQ(o.success, 3);
        EXPECT_EQ(o.updated, 2);
        EXPECT_EQ(o.err, "6,,,,\r\n");
        EXPECT_EQ(o.erm, "ORA-01400: cannot insert NULL into (\"SCOTT\".\"LT\".\"NAME\") \r\n");
        EXPECT_EQ(o.table, (Rows{{"5", "c", "", "", ""}}));
    }
}

TEST_F(LoadMode, WithoutAKeyUpsertAndUpdateRefuseToStart) {
    Exec({"create table NK (ID number(6), NAME varchar2(8))"});
    WriteBytes(Path("nk.csv"), "1,a\r\n");
    Preview("NK", Path("nk.csv"));
    for (int mode : {kLoadUpsert, kLoadUpdate}) {
        settings_.LoadMode = mode;
        std::string message;
        EXPECT_EQ(Import(state_, dm_, host_, Plan("NK", context_.CsvFile), message), kImportNoKey);
        EXPECT_EQ(message, NoKeyMessage("NK", mode));
    }
    EXPECT_EQ(CountRows("NK"), 0);
}

TEST_F(LoadMode, KeyLookupPrefersThePrimaryKeyAndTheGridMarksIt) {
    Exec({"create table UK2 (A number, B number, C number, constraint UK2_B unique (B, C), "
          "constraint UK2_A unique (A))",
          "create table PK2 (A number unique, B number, C number, constraint PK2_PK primary key (C, B))"});
    TableKey key;
    ASSERT_TRUE(TableKeyLookup(query_).Find("", "UK2", key)) << query_.ErrMsg();
    EXPECT_EQ(key.Constraint, "UK2_A");
    EXPECT_FALSE(key.Primary);
    ASSERT_TRUE(TableKeyLookup(query_).Find("", "PK2", key));
    EXPECT_EQ(key.Columns, (std::vector<std::string>{"C", "B"}));
    EXPECT_TRUE(key.Primary);
    ASSERT_TRUE(TableKeyLookup(query_).Find("SCOTT", "PK2", key));
    EXPECT_EQ(key.Columns, (std::vector<std::string>{"C", "B"}));
    ASSERT_TRUE(PreviewTable(target_, "PK2"));
    EXPECT_EQ(grid_.KeyMark(1), "");
    EXPECT_EQ(grid_.KeyMark(2), "PK");
    EXPECT_EQ(grid_.KeyMark(3), "PK");
}

}  // namespace
}  // namespace tabrook::testing
