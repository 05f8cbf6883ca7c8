// How the console splits a script into statements.

#include <gtest/gtest.h>
#include <sstream>

#include "ocilite/console/ScriptReader.h"

namespace ocilite {
namespace {

std::vector<std::string> Split(const std::string& script) {
    std::istringstream in(script);
    ScriptReader reader(in);
    std::vector<std::string> out;
    while (auto s = reader.Next()) out.push_back(s->text);
    return out;
}

TEST(ScriptReaderTest, SplitsStatementsAsTheConsoleContractSays) {
    struct {
        const char* script;
        std::vector<std::string> statements;
    } cases[] = {
        {"select 1 from dual;\nselect 2 from dual;\n", {"select 1 from dual", "select 2 from dual"}},
        {"select 1\nfrom dual\n/\n", {"select 1\nfrom dual"}},
        {"select 1 from dual;   \r\n", {"select 1 from dual"}},               // CR LF and blanks
        {"select q'[it's;]' from dual;\n", {"select q'[it's;]' from dual"}},  // q-quoting
        {"select q'{a;\n'b}' x from dual;\n", {"select q'{a;\n'b}' x from dual"}},
        {"select Q'!x!' from dual;\nselect 2 from dual;\n", {"select Q'!x!' from dual", "select 2 from dual"}},
        {"select freq'a;' from t;\n", {"select freq'a;' from t"}},                // q ending a name starts no q-quote
        {"insert into t values('a;\nb');\n", {"insert into t values('a;\nb')"}},  // ';' inside text
        {"insert into t values('it''s;');\n", {"insert into t values('it''s;')"}},
        {"select 1 from dual; -- note\n", {"select 1 from dual"}},
        {"-- heading\n\n  \nselect 1 from dual;\n", {"select 1 from dual"}},
        {"select 1 from dual -- not the end;\n;\n", {"select 1 from dual -- not the end;"}},
        {"begin\n  null;\nend;\n/\nselect 1 from dual;\n", {"begin\n  null;\nend;", "select 1 from dual"}},
        {"create or replace procedure p as\nbegin null; end;\n/\n",
         {"create or replace procedure p as\nbegin null; end;"}},
        {"select 1 from dual;\nexit\nselect 2 from dual;\n", {"select 1 from dual"}},
        {"select 1 from dual", {"select 1 from dual"}},  // last line without end
        {"/\n/\n", {}},
        {"create table \"T--C\" (a number);\n", {"create table \"T--C\" (a number)"}},  // "--" inside a name
        {"select * from \"Q'T\";\nselect 2 from dual;\n", {"select * from \"Q'T\"", "select 2 from dual"}},
        {"select 'say \"hi' from \"A;B\";\n", {"select 'say \"hi' from \"A;B\""}},  // each quote in the other
        {"select \"x\"\"y\" from t;\n", {"select \"x\"\"y\" from t"}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Split(c.script), c.statements) << c.script;
}

TEST(ScriptReaderTest, ReportsWhereEachStatementStarts) {
    std::istringstream in("\n-- x\nselect 1\nfrom dual;\n\nselect 2 from dual;\n");
    ScriptReader reader(in);
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ(reader.StartLine(), 3);
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ(reader.StartLine(), 6);
    EXPECT_FALSE(reader.Next());
}

}  // namespace
}  // namespace ocilite
