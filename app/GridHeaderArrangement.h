#pragma once
// Arranging the grid by the CSV file's header names: each field gets the table column of its
// name, the columns the file lacks follow its fields (see HeaderMapping). The window's action
// and an unattended run with MAPBY=HEADER use the same function.

#include <string>
#include <vector>

#include "transfer/HeaderMapping.h"

namespace tabrook {

class GridModel;

// Arranges the header rows of grid (the table columns shown there, in their present order)
// by header; returns what matched.
HeaderArrangement ArrangeGridByHeader(GridModel& grid, const std::vector<std::string>& header, char delimiter);

}  // namespace tabrook
