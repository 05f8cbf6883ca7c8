#include "app/GridHeaderArrangement.h"

#include "app/GridModel.h"

namespace tabrook {

HeaderArrangement ArrangeGridByHeader(GridModel& grid, const std::vector<std::string>& header, char delimiter) {
    std::vector<std::string> names;
    std::vector<int> columns;  // the grid column of each name
    for (int col = GridModel::kFixedCols; col < grid.ColCount(); ++col) {
        if (grid.Cell(col, 0).empty()) continue;
        names.push_back(grid.Cell(col, 0));
        columns.push_back(col);
    }
    HeaderArrangement arrangement = ArrangeByHeader(header, names, delimiter);
    std::vector<int> sources;
    for (int k : arrangement.Order) sources.push_back(k < 0 ? -1 : columns[static_cast<std::size_t>(k)]);
    grid.ArrangeHeader(sources);
    return arrangement;
}

}  // namespace tabrook
