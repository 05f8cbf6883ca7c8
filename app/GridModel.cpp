#include "app/GridModel.h"

#include <algorithm>
#include <cstdio>

namespace tabrook {

namespace {
const std::string kNoText;
}

GridModel::GridModel()
    : rows_(kRowCount, std::vector<std::string>(kEmptyColCount)), types_(kEmptyColCount, -1) {}

int GridModel::AddObserver(Observer observer) {
    observers_.emplace_back(nextObserverId_, std::move(observer));
    return nextObserverId_++;
}

void GridModel::RemoveObserver(int id) {
    std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
}

void GridModel::Notify(GridChange::Kind what, int left, int top, int right, int bottom) {
    if (observers_.empty()) return;
    const GridChange change{what, left, top, right, bottom};
    for (const auto& entry : observers_) entry.second(change);
}

void GridModel::SetColCount(int count) {
    count = std::max(count, 0);
    if (count == colCount_) return;
    Notify(GridChange::Kind::ShapeAboutToChange);
    for (auto& row : rows_) row.resize(static_cast<std::size_t>(count));
    types_.resize(static_cast<std::size_t>(count), -1);
    colCount_ = count;
    selection_.Right = std::min(selection_.Right, std::max(count - 1, 1));
    selection_.Left = std::min(selection_.Left, selection_.Right);
    Notify(GridChange::Kind::ShapeChanged);
}

void GridModel::SetSelection(const Selection& selection) {
    if (selection == selection_) return;
    selection_ = selection;
    Notify(GridChange::Kind::Selection);
}

const std::string& GridModel::Cell(int col, int row) const {
    if (col < 0 || col >= colCount_ || row < 0 || row >= kRowCount) return kNoText;
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void GridModel::SetCell(int col, int row, std::string text) {
    if (col < 0 || col >= colCount_ || row < 0 || row >= kRowCount) return;
    std::string& cell = rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
    if (cell == text) return;
    cell = std::move(text);
    Notify(GridChange::Kind::Cells, col, row, col, row);
}

void GridModel::ClearRow(int row) {
    if (row < 0 || row >= kRowCount) return;
    for (auto& cell : rows_[static_cast<std::size_t>(row)]) cell.clear();
    if (row == 1) types_.assign(types_.size(), -1);
    if (colCount_ > 0) Notify(GridChange::Kind::Cells, 0, row, colCount_ - 1, row);
}

void GridModel::ClearColumn(int col) {
    if (col < 0 || col >= colCount_) return;
    for (auto& row : rows_) row[static_cast<std::size_t>(col)].clear();
    types_[static_cast<std::size_t>(col)] = -1;
    Notify(GridChange::Kind::Cells, col, 0, col, kRowCount - 1);
}

int GridModel::ColumnType(int col) const {
    if (col < 0 || col >= colCount_) return -1;
    return types_[static_cast<std::size_t>(col)];
}

void GridModel::SetColumnType(int col, int typeCode) {
    if (col < 0 || col >= colCount_) return;
    types_[static_cast<std::size_t>(col)] = typeCode;
}

GridModel::Contents GridModel::Snapshot() const {
    return Contents{colCount_, rows_, types_, textCharset_, keyColumns_, primaryKey_};
}

void GridModel::SetKeyColumns(std::vector<std::string> columns, bool primary) {
    if (columns == keyColumns_ && primary == primaryKey_) return;
    keyColumns_ = std::move(columns);
    primaryKey_ = primary;
    if (colCount_ > kFixedCols) Notify(GridChange::Kind::Cells, kFixedCols, 0, colCount_ - 1, 0);
}

std::string GridModel::KeyMark(int col) const {
    if (col < kFixedCols || col >= colCount_) return {};
    const std::string& name = Cell(col, 0);
    if (name.empty() || std::find(keyColumns_.begin(), keyColumns_.end(), name) == keyColumns_.end()) return {};
    return primaryKey_ ? "PK" : "UK";
}

void GridModel::SetTextCharset(std::string charset) {
    if (charset == textCharset_) return;
    // Every text reads differently now.
    Notify(GridChange::Kind::ShapeAboutToChange);
    textCharset_ = std::move(charset);
    Notify(GridChange::Kind::ShapeChanged);
}

void GridModel::Restore(const Contents& contents) {
    Notify(GridChange::Kind::ShapeAboutToChange);
    colCount_ = std::max(contents.ColCount, 0);
    rows_.assign(kRowCount, std::vector<std::string>(static_cast<std::size_t>(colCount_)));
    for (std::size_t r = 0; r < rows_.size() && r < contents.Rows.size(); ++r)
        for (std::size_t c = 0; c < rows_[r].size() && c < contents.Rows[r].size(); ++c) rows_[r][c] = contents.Rows[r][c];
    types_.assign(static_cast<std::size_t>(colCount_), -1);
    for (std::size_t c = 0; c < types_.size() && c < contents.Types.size(); ++c) types_[c] = contents.Types[c];
    textCharset_ = contents.TextCharset;
    keyColumns_ = contents.KeyColumns;
    primaryKey_ = contents.PrimaryKey;
    selection_.Right = std::min(selection_.Right, std::max(colCount_ - 1, 1));
    selection_.Left = std::min(selection_.Left, selection_.Right);
    Notify(GridChange::Kind::ShapeChanged);
}

namespace {
// Moves item from to position to, shifting the items between by one towards from.
template <typename T>
void MoveItem(std::vector<T>& items, int from, int to) {
    auto first = items.begin();
    if (from < to) {
        std::rotate(first + from, first + from + 1, first + to + 1);
    } else if (to < from) {
        std::rotate(first + to, first + from, first + from + 1);
    }
}
}  // namespace

void GridModel::MoveColumn(int from, int to) {
    if (from < 0 || to < 0 || from >= colCount_ || to >= colCount_ || from == to) return;
    Notify(GridChange::Kind::ShapeAboutToChange);
    for (auto& row : rows_) MoveItem(row, from, to);
    MoveItem(types_, from, to);
    Notify(GridChange::Kind::ShapeChanged);
}

void GridModel::ColumnMoved(int from, int to, bool exportMode) {
    if (from < kFixedCols || to < kFixedCols || from >= colCount_ || to >= colCount_) return;
    // One change for the observers: the header rows move, and in Import mode the data rows
    // are put back where they stood.
    Notify(GridChange::Kind::ShapeAboutToChange);
    for (int row = 0; row < kRowCount; ++row) {
        if (exportMode || row < kFixedRows) MoveItem(rows_[static_cast<std::size_t>(row)], from, to);
    }
    MoveItem(types_, from, to);
    Notify(GridChange::Kind::ShapeChanged);
    Selection whole = selection_;
    whole.Left = kFixedCols;
    whole.Right = colCount_ - 1;
    SetSelection(whole);
}

void GridModel::ArrangeHeader(const std::vector<int>& sources) {
    const int needed = kFixedCols + static_cast<int>(sources.size());
    if (needed > colCount_) SetColCount(needed);
    Notify(GridChange::Kind::ShapeAboutToChange);
    const auto names = rows_[0];
    const auto texts = rows_[1];
    const auto types = types_;
    for (int col = kFixedCols; col < colCount_; ++col) {
        const std::size_t at = static_cast<std::size_t>(col);
        const std::size_t k = at - kFixedCols;
        const int source = k < sources.size() ? sources[k] : -1;
        const bool has = source >= kFixedCols && source < colCount_;
        rows_[0][at] = has ? names[static_cast<std::size_t>(source)] : std::string();
        rows_[1][at] = has ? texts[static_cast<std::size_t>(source)] : std::string();
        types_[at] = has ? types[static_cast<std::size_t>(source)] : -1;
    }
    Notify(GridChange::Kind::ShapeChanged);
}

std::string RowNumberText(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", n);
    return text;
}

}  // namespace tabrook
