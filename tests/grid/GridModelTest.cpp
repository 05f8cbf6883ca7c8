// The grid model on its own: sizing, cells, and the column-move rule of both modes.
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

#include "app/GridHeaderArrangement.h"
#include "app/GridModel.h"

namespace tabrook {
namespace {

// Fills headers h0..hn-1 / t0.. and data cells "r<row>c<col>" over n data columns.
void Fill(GridModel& grid, int n) {
    grid.SetColCount(n + 1);
    for (int c = 1; c <= n; ++c) {
        grid.SetCell(c, 0, "h" + std::to_string(c));
        grid.SetCell(c, 1, "t" + std::to_string(c));
        for (int r = 2; r < GridModel::kRowCount; ++r) {
            grid.SetCell(c, r, "r" + std::to_string(r) + "c" + std::to_string(c));
        }
    }
    for (int r = 2; r < GridModel::kRowCount; ++r) grid.SetCell(0, r, RowNumberText(r - 1));
}

std::vector<std::string> Row(const GridModel& grid, int row) {
    std::vector<std::string> cells;
    for (int c = 0; c < grid.ColCount(); ++c) cells.push_back(grid.Cell(c, row));
    return cells;
}

TEST(GridModel, StartsWithSixEmptyColumnsAndThirtyDataRows) {
    GridModel grid;
    EXPECT_EQ(grid.ColCount(), 6);
    EXPECT_EQ(grid.RowCount(), 32);
    EXPECT_EQ(GridModel::kDataRows, 30);
    for (int r = 0; r < grid.RowCount(); ++r) {
        for (int c = 0; c < grid.ColCount(); ++c) EXPECT_EQ(grid.Cell(c, r), "");
    }
}

TEST(GridModel, OutOfRangeCellsReadEmptyAndIgnoreWrites) {
    GridModel grid;
    int changes = 0;
    grid.AddObserver([&](const GridChange&) { ++changes; });
    grid.SetCell(6, 0, "x");
    grid.SetCell(-1, 0, "x");
    grid.SetCell(1, 32, "x");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(grid.Cell(6, 0), "");
    EXPECT_EQ(grid.Cell(0, -1), "");
}

TEST(GridModel, NarrowingDropsCellsAndWideningAddsEmptyOnes) {
    GridModel grid;
    Fill(grid, 5);
    grid.SetColCount(3);
    EXPECT_EQ(grid.Cell(2, 0), "h2");
    grid.SetColCount(6);
    EXPECT_EQ(grid.Cell(4, 0), "");
    EXPECT_EQ(grid.Cell(4, 5), "");
    EXPECT_EQ(grid.Cell(1, 5), "r5c1");
}

TEST(GridModel, RowNumbersAreThreeDigits) {
    EXPECT_EQ(RowNumberText(1), "001");
    EXPECT_EQ(RowNumberText(30), "030");
    EXPECT_EQ(RowNumberText(123), "123");
}

struct MoveCase {
    const char* name;
    int from;
    int to;
    std::vector<std::string> headers;  // row 0, columns 1..4, after the move
};

class ColumnMove : public ::testing::TestWithParam<MoveCase> {};

TEST_P(ColumnMove, ImportMovesOnlyTheHeaderRows) {
    const MoveCase& mc = GetParam();
    GridModel grid;
    Fill(grid, 4);
    std::vector<std::vector<std::string>> dataBefore;
    for (int r = 2; r < GridModel::kRowCount; ++r) dataBefore.push_back(Row(grid, r));

    grid.ColumnMoved(mc.from, mc.to, /*exportMode=*/false);

    const std::vector<std::string> row0 = Row(grid, 0);
    std::vector<std::string> headers(row0.begin() + 1, row0.end());
    EXPECT_EQ(headers, mc.headers);
    for (int c = 1; c <= 4; ++c) {
        // The type text travels with its name.
        EXPECT_EQ(grid.Cell(c, 1), "t" + grid.Cell(c, 0).substr(1));
    }
    for (int r = 2; r < GridModel::kRowCount; ++r) EXPECT_EQ(Row(grid, r), dataBefore[r - 2]) << "row " << r;
}

TEST_P(ColumnMove, ExportMovesTheDataWithItsColumn) {
    const MoveCase& mc = GetParam();
    GridModel grid;
    Fill(grid, 4);
    grid.ColumnMoved(mc.from, mc.to, /*exportMode=*/true);
    const std::vector<std::string> row0 = Row(grid, 0);
    std::vector<std::string> headers(row0.begin() + 1, row0.end());
    EXPECT_EQ(headers, mc.headers);
    for (int c = 1; c <= 4; ++c) {
        const std::string original = grid.Cell(c, 0).substr(1);
        for (int r = 2; r < GridModel::kRowCount; ++r) {
            EXPECT_EQ(grid.Cell(c, r), "r" + std::to_string(r) + "c" + original);
        }
    }
    // Row numbers never move.
    EXPECT_EQ(grid.Cell(0, 2), "001");
    EXPECT_EQ(grid.Cell(0, 31), "030");
}

INSTANTIATE_TEST_SUITE_P(Moves, ColumnMove,
                         ::testing::Values(MoveCase{"LastToFirst", 3, 1, {"h3", "h1", "h2", "h4"}},
                                           MoveCase{"FirstToLast", 1, 4, {"h2", "h3", "h4", "h1"}},
                                           MoveCase{"Neighbours", 2, 3, {"h1", "h3", "h2", "h4"}},
                                           MoveCase{"SamePlace", 2, 2, {"h1", "h2", "h3", "h4"}},
                                           MoveCase{"FixedColumnIgnored", 0, 2, {"h1", "h2", "h3", "h4"}},
                                           MoveCase{"BeyondTheGridIgnored", 2, 5, {"h1", "h2", "h3", "h4"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GridModel, ImportEmptyHeaderMovedInFrontOfFieldTwoShiftsTableColumns) {
    // Table A, B, C over four CSV fields: column 4 has no table column.
    GridModel grid;
    Fill(grid, 4);
    grid.SetCell(4, 0, "");
    grid.SetCell(4, 1, "");
    grid.ColumnMoved(4, 2, false);
    EXPECT_EQ(Row(grid, 0), (std::vector<std::string>{"", "h1", "", "h2", "h3"}));
    EXPECT_EQ(Row(grid, 1), (std::vector<std::string>{"", "t1", "", "t2", "t3"}));
    EXPECT_EQ(grid.Cell(2, 2), "r2c2");  // field 2 stays, now under no table column
}

TEST(GridModel, SelectionCoversWholeRowsAfterAMove) {
    GridModel grid;
    Fill(grid, 4);
    grid.SetSelection({2, 5, 3, 9});
    grid.ColumnMoved(1, 3, false);
    EXPECT_EQ(grid.CurrentSelection(), (GridModel::Selection{1, 5, 4, 9}));
}

}  // namespace
// What a view is told, change by change: the texts of exactly the cells that changed, and a
// before/after pair around every change of shape, with the data already moved at "after".
TEST(GridModel, ObserversAreToldOfEachChangeAsItHappens) {
    struct Seen {
        GridChange::Kind what;
        int left, top, right, bottom;
        std::string header1AtTheTime;
    };
    GridModel grid;
    Fill(grid, 5);
    grid.SetCell(1, 0, "A");
    grid.SetCell(2, 0, "B");
    std::vector<Seen> seen;
    const int id = grid.AddObserver([&](const GridChange& c) {
        seen.push_back({c.What, c.Left, c.Top, c.Right, c.Bottom, grid.Cell(1, 0)});
    });
    using K = GridChange::Kind;

    grid.SetCell(3, 4, "new");
    grid.SetCell(3, 4, "new");  // the same text again: nothing changed
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].what, K::Cells);
    EXPECT_EQ(std::tie(seen[0].left, seen[0].top, seen[0].right, seen[0].bottom), std::make_tuple(3, 4, 3, 4));

    seen.clear();
    grid.ClearRow(7);
    grid.ClearColumn(2);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(std::tie(seen[0].left, seen[0].top, seen[0].right, seen[0].bottom), std::make_tuple(0, 7, 5, 7));
    EXPECT_EQ(std::tie(seen[1].left, seen[1].top, seen[1].right, seen[1].bottom), std::make_tuple(2, 0, 2, 31));

    seen.clear();
    grid.SetCell(2, 0, "B");
    seen.clear();
    grid.ColumnMoved(1, 2, /*exportMode=*/false);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].what, K::ShapeAboutToChange);
    EXPECT_EQ(seen[0].header1AtTheTime, "A");  // before: nothing moved yet
    EXPECT_EQ(seen[1].what, K::ShapeChanged);
    EXPECT_EQ(seen[1].header1AtTheTime, "B");  // after: the header rows have moved
    EXPECT_EQ(seen[2].what, K::Selection);

    seen.clear();
    grid.SetColCount(3);
    grid.SetColCount(3);  // unchanged: no notice
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].what, K::ShapeAboutToChange);
    EXPECT_EQ(seen[1].what, K::ShapeChanged);

    seen.clear();
    grid.RemoveObserver(id);
    grid.SetCell(1, 1, "gone");
    EXPECT_TRUE(seen.empty());
}

TEST(GridModel, ArrangingByHeaderNamesMovesOnlyTheHeaderRows) {
    struct Case {
        std::vector<std::string> header;
        std::vector<std::string> names;  // row 0 afterwards, from column 1
        std::string status;
    };
    const Case cases[] = {
        {{"h3", " \"H1\" ", "extra"}, {"h3", "h1", "", "h2"}, "項目名で2項目を対応付けました。一致しない項目: extra"},
        {{"h2", "h2", "a", "b", "c", "d"}, {"h2", "", "", "", "", "", "h1", "h3"},
         "項目名で1項目を対応付けました。一致しない項目: h2, a, b ほか2項目"},
        {{"x"}, {"", "h1", "h2", "h3"}, "項目名で0項目を対応付けました。一致しない項目: x"},
    };
    for (const Case& c : cases) {
        GridModel grid;
        Fill(grid, 3);
        grid.SetColumnType(1, 2);
        const HeaderArrangement arranged = ArrangeGridByHeader(grid, c.header, '"');
        std::vector<std::string> names = Row(grid, 0);
        names.erase(names.begin());
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(ArrangementSummary(arranged), c.status);
        for (int col = 1; col < grid.ColCount(); ++col) {
            EXPECT_EQ(grid.ColumnType(col), grid.Cell(col, 0) == "h1" ? 2 : -1);
            EXPECT_EQ(grid.Cell(col, 1), grid.Cell(col, 0).empty() ? "" : "t" + grid.Cell(col, 0).substr(1));
            if (col <= 3) {
                EXPECT_EQ(grid.Cell(col, 2), "r2c" + std::to_string(col));  // data stays put
            }
        }
    }
}

}  // namespace tabrook
