// The import's bound INSERT (values computed by the engine, row by row) against the same
// conversions done through SQL (INSERT ... SELECT, evaluated by SQLite): for random field texts
// both store the same row or refuse it with the same Oracle error.

#include <random>

#include "tests/ocilite_engine/EngineTestSupport.h"

namespace ocilite::test {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kColumns =
    "(K NUMBER(10) NOT NULL, N NUMBER(10,2), I NUMBER(5), F NUMBER, D DATE,"
    " S TIMESTAMP(3), Z TIMESTAMP WITH TIME ZONE, C CHAR(2), V VARCHAR2(8))";
constexpr const char* kValues =
    ":K, :N, :I, :F, TO_DATE(:D,'RRRR-MM-DD HH24:MI:SS'), TO_TIMESTAMP(:S,'RRRR-MM-DD HH24:MI:SSXFF'),"
    " TO_TIMESTAMP_TZ(:Z,'RRRR-MM-DD HH24:MI:SSXFF TZH:TZM'), :C, :V";
constexpr const char* kNames[] = {"K", "N", "I", "F", "D", "S", "Z", "C", "V"};

class InsertPathTest : public EngineTest {
protected:
    std::mt19937 rng_{4711};

    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    std::string Digits(int count) {
        std::string s;
        for (int i = 0; i < count; ++i) s += static_cast<char>('0' + Pick(0, 9));
        return s;
    }

    // Mostly well-formed numbers of every size, some malformed.
    std::string Number() {
        switch (Pick(0, 19)) {
            case 0: return "";
            case 1: {
                static const char kBytes[] = "0123456789.-+eE x";
                std::string s;
                for (int n = Pick(1, 8); n > 0; --n) s += kBytes[Pick(0, sizeof kBytes - 2)];
                return s;
            }
            case 2: return Digits(Pick(1, 14));
            default: {
                std::string s = Pick(0, 5) == 0 ? "-" : "";
                s += Digits(Pick(0, 9));
                if (Pick(0, 2) != 0) s += "." + Digits(Pick(0, 5));
                return s;
            }
        }
    }

    // Datetime text of the import's shapes with random fields, sometimes edited.
    std::string Stamp(bool fraction, bool zone) {
        if (Pick(0, 15) == 0) return "";
        auto two = [&](int lo, int hi) {
            const int v = Pick(lo, hi);
            return std::string(v < 10 ? "0" : "") + std::to_string(v);
        };
        // Now and then fields out of their ranges.
        const bool wild = Pick(0, 7) == 0;
        std::string s = std::to_string(wild ? 1000 + Pick(0, 8999) : 1950 + Pick(0, 100)) + "-" +
                        two(wild ? 0 : 1, wild ? 13 : 12) + "-" + two(wild ? 0 : 1, wild ? 32 : 28) + " " +
                        two(0, wild ? 24 : 23) + ":" + two(0, wild ? 60 : 59) + ":" + two(0, wild ? 60 : 59);
        if (fraction && Pick(0, 3) != 0) s += "." + Digits(Pick(1, 9));
        if (zone && Pick(0, 3) != 0) s += std::string(" ") + (Pick(0, 1) ? "+" : "-") + two(0, 15) + ":" + two(0, 59);
        if (Pick(0, 9) == 0) {
            const size_t at = static_cast<size_t>(Pick(0, static_cast<int>(s.size()) - 1));
            static const char kBytes[] = "0 :-.xT";
            if (Pick(0, 1) == 0)
                s.erase(at, 1);
            else
                s.insert(at, 1, kBytes[Pick(0, sizeof kBytes - 2)]);
        }
        return s;
    }

    std::string Text(size_t longest) {
        std::string s;
        for (size_t n = static_cast<size_t>(Pick(0, static_cast<int>(longest))); n > 0; --n)
            s += static_cast<char>('a' + Pick(0, 25));
        return s;
    }

    static std::string Run(Statement& st, const std::vector<std::string>& fields) {
        for (size_t i = 0; i < fields.size(); ++i)
            st.Bind(st.BindIndex(std::string(":") + kNames[i]), TextValue{fields[i]});
        try {
            st.Execute();
            return "";
        } catch (const OraError& e) {
            return e.Message();
        }
    }
};

TEST_F(InsertPathTest, EngineValuesAndSqlConversionsAgreeOnRandomFields) {
    Exec(std::string("CREATE TABLE A") + kColumns);
    Exec(std::string("CREATE TABLE B") + kColumns);
    auto engine = session_->Prepare(std::string("INSERT INTO A(K,N,I,F,D,S,Z,C,V) VALUES(") + kValues + ")");
    auto sql = session_->Prepare(std::string("INSERT INTO B(K,N,I,F,D,S,Z,C,V) SELECT ") + kValues + " FROM DUAL");
    int stored = 0, refused = 0;
    for (int row = 0; row < 6000; ++row) {
        const std::vector<std::string> fields = {Pick(0, 40) == 0 ? "" : std::to_string(row),
                                                 Number(),
                                                 Number(),
                                                 Number(),
                                                 Stamp(false, false),
                                                 Stamp(true, false),
                                                 Stamp(true, true),
                                                 Text(3),
                                                 Text(9)};
        const std::string engineError = Run(*engine, fields);
        std::string sqlError = Run(*sql, fields);
        // Messages that name the column name the other table.
        if (const size_t at = sqlError.find(".\"B\"."); at != std::string::npos) sqlError.replace(at, 5, ".\"A\".");
        ASSERT_EQ(engineError, sqlError) << "row " << row << ": " << fields[1] << "|" << fields[2] << "|" << fields[3]
                                         << "|" << fields[4] << "|" << fields[5] << "|" << fields[6];
        (engineError.empty() ? stored : refused) += 1;
    }
    // Both outcomes are common, so neither side of the comparison is idle.
    EXPECT_GT(stored, 1000);
    EXPECT_GT(refused, 1000);
    const std::string select =
        "SELECT K, N, I, F, TO_CHAR(D,'YYYY-MM-DD HH24:MI:SS'),"
        " TO_CHAR(S,'YYYY-MM-DD HH24:MI:SS.FF9'), TO_CHAR(Z,'YYYY-MM-DD HH24:MI:SS.FF9 TZH:TZM'),"
        " C, V FROM ";
    const Lines a = Rows(select + "A ORDER BY K");
    EXPECT_EQ(a.size(), static_cast<size_t>(stored));
    EXPECT_EQ(a, Rows(select + "B ORDER BY K"));
}

}  // namespace
}  // namespace ocilite::test
