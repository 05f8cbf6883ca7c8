#pragma once
// Aligned columns for people: headings underlined with dashes, numbers right-aligned, NULL as
// SET NULL's text. Column widths come from the headings and the first page of rows (PAGESIZE
// rows, or 100 without pages) and stay for the rest of the result; when the row would pass
// LINESIZE the widest text columns give way first (down to 10 cells). A longer value wraps onto
// further lines inside its column; a number that does not fit shows as '#' signs.

#include <vector>

#include "ocilite/console/ConsoleSettings.h"
#include "ocilite/console/ResultPrinter.h"

namespace ocilite {

class AlignedPrinter : public ResultPrinter {
public:
    AlignedPrinter(const ConsoleSettings& settings, TextSink sink) : settings_(settings), sink_(std::move(sink)) {}
    void Begin(const std::vector<ResultColumn>& columns) override;
    void Row(const std::vector<ResultCell>& cells) override;
    void End() override;

private:
    size_t PageRows() const;
    void FixWidths();
    void PrintPage();
    // headings wrap in a numeric column where a value would show as '#'
    void PrintRow(const std::vector<std::string>& cells, bool headings);

    const ConsoleSettings& settings_;
    TextSink sink_;
    std::vector<ResultColumn> columns_;
    std::vector<std::vector<std::string>> page_;
    std::vector<int> widths_;
    bool printedPage_ = false;
};

}  // namespace ocilite
