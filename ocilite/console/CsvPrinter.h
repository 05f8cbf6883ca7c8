#pragma once
// CSV as RFC 4180 writes it: a header line of column names, records ended by CR LF, a field
// enclosed in double quotes (its quotes doubled) when it holds a comma, a quote or a line
// break. NULL is an empty field unless SET NULL names a text.

#include "ocilite/console/ConsoleSettings.h"
#include "ocilite/console/ResultPrinter.h"

namespace ocilite {

class CsvPrinter : public ResultPrinter {
public:
    CsvPrinter(const ConsoleSettings& settings, TextSink sink) : settings_(settings), sink_(std::move(sink)) {}
    void Begin(const std::vector<ResultColumn>& columns) override;
    void Row(const std::vector<ResultCell>& cells) override;
    void End() override {}

    static std::string Field(const std::string& text);

private:
    const ConsoleSettings& settings_;
    TextSink sink_;
};

}  // namespace ocilite
