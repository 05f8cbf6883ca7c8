#pragma once
// The script style: a header line of column names, then one line per row, values joined by
// '|' exactly as they come (the output scripts and pipes rely on).

#include "ocilite/console/ConsoleSettings.h"
#include "ocilite/console/ResultPrinter.h"

namespace ocilite {

class PipePrinter : public ResultPrinter {
public:
    PipePrinter(const ConsoleSettings& settings, TextSink sink) : settings_(settings), sink_(std::move(sink)) {}
    void Begin(const std::vector<ResultColumn>& columns) override;
    void Row(const std::vector<ResultCell>& cells) override;
    void End() override {}

private:
    const ConsoleSettings& settings_;
    TextSink sink_;
};

}  // namespace ocilite
