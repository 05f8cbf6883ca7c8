// The console's parts that decide what people see: display widths, aligned columns, CSV fields,
// command lines, SET values and the feedback after a statement.

#include <gtest/gtest.h>

#include "ocilite/console/AlignedPrinter.h"
#include "ocilite/console/ConsoleCommand.h"
#include "ocilite/console/ConsoleSettings.h"
#include "ocilite/console/CsvPrinter.h"
#include "ocilite/console/DisplayWidth.h"
#include "ocilite/console/StatementFeedback.h"

namespace ocilite {
namespace {

TEST(ConsolePartsTest, WideCharactersTakeTwoCellsAndNeverSplit) {
    EXPECT_EQ(DisplayWidth("abc"), 3);
    EXPECT_EQ(DisplayWidth("山田太郎"), 8);
    EXPECT_EQ(DisplayWidth("ｱｲｳ"), 3);        // halfwidth katakana
    EXPECT_EQ(DisplayWidth("Ａ1"), 3);        // fullwidth letter
    EXPECT_EQ(DisplayWidth("e\xCC\x81"), 1);  // e + combining acute
    EXPECT_EQ(WrapToWidth("山田太郎", 5), (std::vector<std::string>{"山田", "太郎"}));
    EXPECT_EQ(WrapToWidth("ab\ncd", 10), (std::vector<std::string>{"ab", "cd"}));
    EXPECT_EQ(WrapToWidth("", 3), (std::vector<std::string>{""}));
}

TEST(ConsolePartsTest, AlignedColumns) {
    struct {
        int lineSize;
        std::string nullText;
        std::vector<std::vector<ResultCell>> rows;
        std::string expected;
    } cases[] = {
        {80, "", {{"1", "Ann"}, {"12.5", std::nullopt}}, "  ID NAME\n---- ----\n   1 Ann\n12.5\n"},
        {80, "(null)", {{"2", "山田"}, {"3", std::nullopt}}, "ID NAME\n-- ------\n 2 山田\n 3 (null)\n"},
        {12,
         "",
         {{"7", "abcdefghijklmnopqrstuvwxyz"}},  // the text column gives way, down to 10 cells
         "ID NAME\n-- ----------\n 7 abcdefghij\n   klmnopqrst\n   uvwxyz\n"},
    };
    for (const auto& c : cases) {
        ConsoleSettings settings;
        settings.lineSize = c.lineSize;
        settings.nullText = c.nullText;
        std::string out;
        AlignedPrinter printer(settings, [&](std::string_view t) { out += t; });
        printer.Begin({{"ID", true, false}, {"NAME", false, true}});
        for (const auto& row : c.rows) printer.Row(row);
        printer.End();
        EXPECT_EQ(out, c.expected);
    }
}

TEST(ConsolePartsTest, LaterPagesKeepTheWidthsAndRepeatTheHeadings) {
    ConsoleSettings settings;
    settings.pageSize = 2;
    std::string out;
    AlignedPrinter printer(settings, [&](std::string_view t) { out += t; });
    printer.Begin({{"N", true, false}});
    for (const char* n : {"1", "22", "333"}) printer.Row({std::string(n)});
    printer.End();
    EXPECT_EQ(out, " N\n--\n 1\n22\n\n N\n--\n##\n");
}

TEST(ConsolePartsTest, CsvFieldsAreQuotedOnlyWhenNeeded) {
    EXPECT_EQ(CsvPrinter::Field("plain text"), "plain text");
    EXPECT_EQ(CsvPrinter::Field("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvPrinter::Field("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvPrinter::Field("two\nlines"), "\"two\nlines\"");
}

TEST(ConsolePartsTest, CommandLinesAndSql) {
    struct {
        const char* line;
        std::optional<CommandKind> kind;
        const char* argument;
    } cases[] = {
        {"desc customers", CommandKind::Describe, "customers"},
        {"DESCRIBE scott.t;", CommandKind::Describe, "scott.t"},
        {"set linesize 120", CommandKind::Set, "linesize 120"},
        {"set transaction read only", std::nullopt, ""},
        {"sho user", CommandKind::Show, "user"},
        {"spool out.txt append", CommandKind::Spool, "out.txt append"},
        {"@load", CommandKind::Run, "load"},
        {"@@ sub/part.sql", CommandKind::RunRelative, "sub/part.sql"},
        {"conn scott/tiger@x.db", CommandKind::Connect, "scott/tiger@x.db"},
        {"help", CommandKind::Help, ""},
        {"select 1 from dual", std::nullopt, ""},
        {"des t", std::nullopt, ""},        // too short for DESCRIBE
        {"settings(1)", std::nullopt, ""},  // a word that only starts like SET
    };
    for (const auto& c : cases) {
        auto parsed = ParseConsoleCommand(c.line);
        ASSERT_EQ(parsed.has_value(), c.kind.has_value()) << c.line;
        if (!parsed) continue;
        EXPECT_EQ(parsed->kind, *c.kind) << c.line;
        EXPECT_EQ(parsed->argument, c.argument) << c.line;
    }
}

TEST(ConsolePartsTest, SetAndShow) {
    ConsoleSettings s;
    struct {
        const char* words;
        bool accepted;
        const char* option;
        const char* shown;
    } cases[] = {
        {"LINESIZE 132", true, "lines", "linesize 132"},      {"lin 0", false, "linesize", "linesize 132"},
        {"pagesize 0", true, "pagesize", "pagesize 0"},       {"null '(null)'", true, "null", "null \"(null)\""},
        {"timing on", true, "timing", "timing ON"},           {"feedback maybe", false, "feedback", "feedback OFF"},
        {"heading off", true, "heading", "heading OFF"},      {"markup csv on", true, "markup", "markup CSV ON"},
        {"markup html on", false, "markup", "markup CSV ON"}, {"colour blue", false, "echo", "echo OFF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(!s.Set(c.words).has_value(), c.accepted) << c.words;
        EXPECT_EQ(s.Show(c.option), c.shown) << c.words;
    }
    EXPECT_FALSE(s.Show("colour"));
}

TEST(ConsolePartsTest, FeedbackSaysWhatWasDone) {
    struct {
        const char* sql;
        StatementType type;
        uint64_t rows;
        const char* expected;
    } cases[] = {
        {"insert into t values (1)", StatementType::Insert, 1, "1 row created."},
        {"update t set a = 1", StatementType::Update, 3, "3 rows updated."},
        {"delete from t", StatementType::Delete, 0, "0 rows deleted."},
        {"create table t (a number)", StatementType::Create, 0, "Table created."},
        {"create or replace view v as select 1 x from dual", StatementType::Create, 0, "View created."},
        {"create unique index i on t(a)", StatementType::Create, 0, "Index created."},
        {"drop user u", StatementType::Drop, 0, "User dropped."},
        {"alter table t add b number", StatementType::Alter, 0, "Table altered."},
        {"grant select on t to u", StatementType::Unknown, 0, "Grant succeeded."},
        {"commit", StatementType::Unknown, 0, "Commit complete."},
        {"truncate table t", StatementType::Unknown, 0, "Table truncated."},
        {"begin null; end;", StatementType::Begin, 0, "PL/SQL procedure successfully completed."},
    };
    for (const auto& c : cases) EXPECT_EQ(StatementFeedback(c.sql, c.type, c.rows), c.expected) << c.sql;
    EXPECT_EQ(QueryFeedback(0), "no rows selected");
    EXPECT_EQ(QueryFeedback(1), "1 row selected.");
    EXPECT_EQ(ElapsedText(std::chrono::milliseconds(3723450)), "Elapsed: 01:02:03.45");
}

}  // namespace
}  // namespace ocilite
