// The table chooser's list over the embedded database: tables and views of the user, loaded
// in slices and stoppable, the preselection by exact name, the filter and the jobs' files.

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/TableListLoader.h"
#include "tests/engines/EngineTestSupport.h"

namespace tabrook::testing {
namespace {

class TableListLoaderTest : public DatabaseTest {
protected:
    std::vector<std::string> LoadAll(TableListLoader::Kind kind) {
        loader.Start(kind);
        while (loader.LoadSlice(7)) {}
        return loader.Names();
    }

    TableListLoader loader{dm_, host_};
};

TEST_F(TableListLoaderTest, ListsTablesOrViewsWithoutTrailingBlanks) {
    Exec({"create table EMP (ID number(5))", "create table \"Dept\" (ID number(5))",
          "create table \"PAD  \" (ID number(5))", "create view V_EMP as select ID from EMP"});
    std::vector<std::string> tables = LoadAll(TableListLoader::Kind::Table);
    std::sort(tables.begin(), tables.end());
    EXPECT_EQ(tables, (std::vector<std::string>{"\"Dept\"", "EMP", "PAD"}));  // as they are typed
    EXPECT_EQ(LoadAll(TableListLoader::Kind::View), (std::vector<std::string>{"V_EMP"}));
    EXPECT_EQ(host_.busyDepth, 0);
    EXPECT_EQ(TableListLoader::Statement(TableListLoader::Kind::View), "select VIEW_name from user_VIEWs");
}

TEST_F(TableListLoaderTest, SlicesStopOnCancelKeepingTheNamesSoFar) {
    std::vector<std::string> statements;
    for (int i = 0; i < 25; ++i) statements.push_back("create table T" + std::to_string(i) + " (ID number(5))");
    Exec(statements);
    loader.Start(TableListLoader::Kind::Table);
    EXPECT_TRUE(loader.Loading());
    EXPECT_EQ(host_.busyDepth, 1);  // the SQL wait pointer while the list loads
    EXPECT_TRUE(loader.LoadSlice(10));
    EXPECT_EQ(loader.Names().size(), 10u);
    loader.Cancel();  // Esc between two slices
    EXPECT_FALSE(loader.Loading());
    EXPECT_FALSE(loader.LoadSlice(10));
    EXPECT_EQ(loader.Names().size(), 10u);
    EXPECT_EQ(host_.busyDepth, 0);
    // The cursor is free again for the next load.
    EXPECT_EQ(LoadAll(TableListLoader::Kind::Table).size(), 25u);
}

TEST_F(TableListLoaderTest, PreselectionCountsTheCaseAndFilterDoesNot) {
    Exec({"create table EMP (ID number(5))", "create table EMP_HIST (ID number(5))",
          "create table DEPT (ID number(5))"});
    LoadAll(TableListLoader::Kind::Table);
    const auto& names = loader.Names();
    const std::size_t emp = loader.Preselect("EMP");
    ASSERT_NE(emp, TableListLoader::kNone);
    EXPECT_EQ(names[emp], "EMP");
    EXPECT_EQ(loader.Preselect("emp"), TableListLoader::kNone);
    EXPECT_EQ(loader.Preselect(""), TableListLoader::kNone);
    std::vector<std::string> matching;
    for (std::size_t i : loader.Matching("emp")) matching.push_back(names[i]);
    std::sort(matching.begin(), matching.end());
    EXPECT_EQ(matching, (std::vector<std::string>{"EMP", "EMP_HIST"}));
    EXPECT_EQ(loader.Matching("").size(), 3u);
    EXPECT_TRUE(loader.Matching("xyz").empty());
}

TEST_F(TableListLoaderTest, NotLoggedOnOrRefusedGivesAnEmptyListWithoutAMessage) {
    dm_.OCI.DisConnect();
    EXPECT_TRUE(LoadAll(TableListLoader::Kind::Table).empty());
    EXPECT_TRUE(host_.boxes.empty());
    EXPECT_EQ(host_.busyDepth, 0);
}

TEST(TableListFiles, JobCsvFileIsNamedAfterTheTableInTheFolder) {
    EXPECT_EQ(TableListLoader::CsvFileFor("/data/in", "EMP"), "/data/in/EMP.csv");
    EXPECT_EQ(TableListLoader::CsvFileFor("/data/in/", "\"x.y\""), "/data/in/x.y.csv");
    EXPECT_EQ(TableListLoader::CsvFileFor("", "EMP"), "EMP.csv");
}

}  // namespace
}  // namespace tabrook::testing
