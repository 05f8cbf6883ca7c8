#include "windows/GridTableModel.h"

#include <algorithm>

namespace tabrook {

namespace {
constexpr int kFixedRows = GridModel::kFixedRows;
constexpr int kFixedCols = GridModel::kFixedCols;
}  // namespace

GridTableModel::GridTableModel(GridModel& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {
    observer_ = grid_.AddObserver([this](const GridChange& change) { OnChange(change); });
}

GridTableModel::~GridTableModel() {
    grid_.RemoveObserver(observer_);
}

int GridTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.RowCount() - kFixedRows;
}

int GridTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(0, grid_.ColCount() - kFixedCols);
}

QVariant GridTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    const std::string& text = grid_.Cell(index.column() + kFixedCols, index.row() + kFixedRows);
    if (role == Qt::ToolTipRole && text.empty()) return {};
    return Shown(text);
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return QString::fromStdString(grid_.Cell(0, section + kFixedRows));
    const int col = section + kFixedCols;
    // A key column (which UPSERT and UPDATE match rows by) carries its key's kind after its name.
    const std::string mark = grid_.KeyMark(col);
    QString name = Shown(grid_.Cell(col, 0));
    if (!mark.empty()) name += QStringLiteral(" [") + QString::fromStdString(mark) + QLatin1Char(']');
    return name + QLatin1Char('\n') + QString::fromStdString(grid_.Cell(col, 1));
}

QString GridTableModel::Shown(const std::string& text) const {
    if (!decoder_ || decoder_->Charset() != grid_.TextCharset())
        decoder_ = std::make_unique<ClientTextDecoder>(grid_.TextCharset());
    return decoder_->Decode(text);
}

void GridTableModel::OnChange(const GridChange& change) {
    switch (change.What) {
        case GridChange::Kind::ShapeAboutToChange:
            if (!resetting_) {
                resetting_ = true;
                beginResetModel();
            }
            break;
        case GridChange::Kind::ShapeChanged:
            if (resetting_) {
                resetting_ = false;
                endResetModel();
            }
            break;
        case GridChange::Kind::Cells: {
            if (resetting_) break;
            const int top = change.Top;
            const int bottom = change.Bottom;
            const int left = std::max(change.Left, kFixedCols) - kFixedCols;
            const int right = change.Right - kFixedCols;
            if (top < kFixedRows) {
                const int first = std::max(0, left);
                if (right >= first) emit headerDataChanged(Qt::Horizontal, first, right);
            }
            if (change.Left < kFixedCols && bottom >= kFixedRows)
                emit headerDataChanged(Qt::Vertical, std::max(top, kFixedRows) - kFixedRows, bottom - kFixedRows);
            if (bottom >= kFixedRows && right >= 0) {
                const int firstRow = std::max(top, kFixedRows) - kFixedRows;
                emit dataChanged(index(firstRow, std::max(0, left)), index(bottom - kFixedRows, right));
            }
            break;
        }
        case GridChange::Kind::Selection:
            if (selectionListener_) selectionListener_();
            break;
    }
}

}  // namespace tabrook
