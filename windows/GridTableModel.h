#pragma once
// The grid model as a Qt item model: the data rows 2..31 of the grid are the model's rows, the
// data columns 1.. its columns. The two fixed rows (name and type) are the horizontal header,
// one text of two lines per column; the fixed column 0 (row numbers) is the vertical header.
// The model listens to the grid's change notices and forwards them as Qt's signals. The
// cells' bytes are in the client character set and shown decoded from it.

#include <QAbstractTableModel>
#include <functional>
#include <memory>

#include "app/ClientTextDecoder.h"
#include "app/GridModel.h"

namespace tabrook {

class GridTableModel : public QAbstractTableModel {
public:
    explicit GridTableModel(GridModel& grid, QObject* parent = nullptr);
    ~GridTableModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Called after every selection notice of the grid.
    void SetSelectionListener(std::function<void()> listener) { selectionListener_ = std::move(listener); }

    GridModel& Grid() { return grid_; }

private:
    void OnChange(const GridChange& change);
    // A cell's bytes, in the grid's client character set, as the window's text.
    QString Shown(const std::string& text) const;

    GridModel& grid_;
    int observer_ = 0;
    bool resetting_ = false;
    std::function<void()> selectionListener_;
    mutable std::unique_ptr<ClientTextDecoder> decoder_;
};

}  // namespace tabrook
