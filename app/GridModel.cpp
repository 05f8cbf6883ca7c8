#include "app/GridModel.h"

#include <algorithm>
#include <cstdio>

namespace tabrook {

namespace {
const std::string kNoText;
}

GridModel::GridModel() : rows_(kRowCount, std::vector<std::string>(kEmptyColCount)) {}

void GridModel::SetColCount(int count) {
  count = std::max(count, 0);
  if (count == colCount_) return;
  for (auto& row : rows_) row.resize(static_cast<std::size_t>(count));
  colCount_ = count;
  selection_.Right = std::min(selection_.Right, std::max(count - 1, 1));
  selection_.Left = std::min(selection_.Left, selection_.Right);
  ++revision_;
}

const std::string& GridModel::Cell(int col, int row) const {
  if (col < 0 || col >= colCount_ || row < 0 || row >= kRowCount) return kNoText;
  return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void GridModel::SetCell(int col, int row, std::string text) {
  if (col < 0 || col >= colCount_ || row < 0 || row >= kRowCount) return;
  rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = std::move(text);
  ++revision_;
}

void GridModel::ClearRow(int row) {
  if (row < 0 || row >= kRowCount) return;
  for (auto& cell : rows_[static_cast<std::size_t>(row)]) cell.clear();
  ++revision_;
}

void GridModel::ClearColumn(int col) {
  if (col < 0 || col >= colCount_) return;
  for (auto& row : rows_) row[static_cast<std::size_t>(col)].clear();
  ++revision_;
}

namespace {
// Moves item from to position to, shifting the items between by one towards from.
void MoveItem(std::vector<std::string>& items, int from, int to) {
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
  for (auto& row : rows_) MoveItem(row, from, to);
  ++revision_;
}

void GridModel::ColumnMoved(int from, int to, bool exportMode) {
  if (from < kFixedCols || to < kFixedCols || from >= colCount_ || to >= colCount_) return;
  MoveColumn(from, to);
  selection_.Left = kFixedCols;
  selection_.Right = colCount_ - 1;
  ++revision_;
  if (exportMode) return;
  for (int row = kFixedRows; row < kRowCount; ++row) {
    MoveItem(rows_[static_cast<std::size_t>(row)], to, from);
  }
}

std::string RowNumberText(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "%03d", n);
  return text;
}

}  // namespace tabrook
