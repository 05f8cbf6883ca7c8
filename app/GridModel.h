#pragma once
// The main window's data grid as a model: two fixed rows (table column names and their type
// texts), one fixed column (row numbers of the data rows) and 30 data rows. The previews fill
// it; beside each type text it keeps the column's type code, so the header rows are the column
// mapping a transfer plan is built from. The Qt grid only shows it and reports the user's
// column drags to ColumnMoved. Observers are told of every change as
// it happens, so a view (a Qt item model) forwards them instead of polling.

#include <functional>
#include <string>
#include <vector>

namespace tabrook {

// One change of the grid, as its observers are told of it.
struct GridChange {
    enum class Kind {
        Cells,               // the texts of the cells Left..Right x Top..Bottom changed
        ShapeAboutToChange,  // the column count or the column order is about to change
        ShapeChanged,        // ... and has changed: every cell may stand elsewhere now
        Selection,           // the selection changed
    };
    Kind What = Kind::Cells;
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

class GridModel {
public:
    static constexpr int kFixedRows = 2;  // row 0 names, row 1 type texts
    static constexpr int kFixedCols = 1;  // column 0 holds the row numbers
    static constexpr int kRowCount = 32;  // rows 2..31 hold 30 records
    static constexpr int kDataRows = kRowCount - kFixedRows;
    static constexpr int kEmptyColCount = 6;  // column count when nothing is shown

    // A rectangle of selected cells, inclusive on every side.
    struct Selection {
        int Left = 1;
        int Top = kFixedRows;
        int Right = 1;
        int Bottom = kFixedRows;
        bool operator==(const Selection&) const = default;
    };

    GridModel();
    GridModel(const GridModel&) = delete;
    GridModel& operator=(const GridModel&) = delete;

    // Observers: called on the thread that changes the grid, right around each change.
    using Observer = std::function<void(const GridChange&)>;
    // Adds an observer; the number returned removes it again.
    int AddObserver(Observer observer);
    void RemoveObserver(int id);

    int ColCount() const { return colCount_; }
    int RowCount() const { return kRowCount; }

    // Widens or narrows the grid; cells of the remaining columns keep their text, cells of
    // new columns are empty.
    void SetColCount(int count);

    // The text of a cell; an address outside the grid reads as empty text.
    const std::string& Cell(int col, int row) const;
    // Sets a cell; an address outside the grid is ignored.
    void SetCell(int col, int row, std::string text);

    // Clears a row's texts (the type row: its codes too).
    void ClearRow(int row);
    void ClearColumn(int col);

    // The type code of a column's table column (-1: none), set with its type text.
    int ColumnType(int col) const;
    void SetColumnType(int col, int typeCode);

    // The client character set its texts are in (an Oracle name; empty: UTF-8), which a view
    // decodes them from. The previews set it from their session.
    const std::string& TextCharset() const { return textCharset_; }
    void SetTextCharset(std::string charset);

    // The columns of the table's key (primary, else unique), which the header marks and an
    // UPSERT or UPDATE matches rows by; the table preview sets them.
    void SetKeyColumns(std::vector<std::string> columns, bool primary);
    // "PK" or "UK" when the name in col's header is a key column; else empty.
    std::string KeyMark(int col) const;

    // Everything the grid shows, as a value: a job-list run prepares it away from the window
    // and the window takes it over in one step.
    struct Contents {
        int ColCount = kEmptyColCount;
        std::vector<std::vector<std::string>> Rows;
        std::vector<int> Types;
        std::string TextCharset;
        std::vector<std::string> KeyColumns;
        bool PrimaryKey = false;
    };
    Contents Snapshot() const;
    void Restore(const Contents& contents);

    // Moves a whole column, every row included, as the grid does when the user drags it: the
    // columns between the two positions shift by one towards from.
    void MoveColumn(int from, int to);

    // The user dragged column from to position to. The grid moves the whole column; in Import
    // mode the data rows are then put back, so that only the header rows (name and type) have
    // moved and each CSV field position gets a different table column. In Export mode the
    // column keeps its data. Afterwards the selection covers whole rows again. Positions
    // outside the data columns change nothing.
    void ColumnMoved(int from, int to, bool exportMode);

    // Puts the header rows (name, type text and code) of column sources[i] above data column
    // kFixedCols + i, an empty header where sources[i] is -1, widening the grid as needed;
    // the data rows stay. Columns past the sources keep an empty header.
    void ArrangeHeader(const std::vector<int>& sources);

    const Selection& CurrentSelection() const { return selection_; }
    void SetSelection(const Selection& selection);

private:
    void Notify(GridChange::Kind what, int left = 0, int top = 0, int right = 0, int bottom = 0);

    int colCount_ = kEmptyColCount;
    std::vector<std::vector<std::string>> rows_;  // kRowCount rows of colCount_ cells
    std::vector<int> types_;                      // colCount_ type codes
    std::string textCharset_;
    std::vector<std::string> keyColumns_;
    bool primaryKey_ = false;
    Selection selection_;
    std::vector<std::pair<int, Observer>> observers_;
    int nextObserverId_ = 1;
};

// The text shown in column 0 of data row number n (1-based): three digits, zero-padded.
std::string RowNumberText(int n);

}  // namespace tabrook
