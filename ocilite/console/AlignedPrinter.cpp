#include "ocilite/console/AlignedPrinter.h"

#include <algorithm>

#include "ocilite/console/DisplayWidth.h"

namespace ocilite {
namespace {

constexpr size_t kRowsForWidthsWithoutPages = 100;
constexpr int kNarrowestShrunkColumn = 10;

int WidestLine(const std::string& text) {
    int widest = 0;
    for (const auto& line : WrapToWidth(text, 1 << 30)) widest = std::max(widest, DisplayWidth(line));
    return widest;
}

}  // namespace

void AlignedPrinter::Begin(const std::vector<ResultColumn>& columns) {
    columns_ = columns;
    page_.clear();
    widths_.clear();
    printedPage_ = false;
}

size_t AlignedPrinter::PageRows() const {
    return settings_.pageSize > 0 ? static_cast<size_t>(settings_.pageSize) : kRowsForWidthsWithoutPages;
}

void AlignedPrinter::Row(const std::vector<ResultCell>& cells) {
    std::vector<std::string> texts;
    texts.reserve(cells.size());
    for (const auto& c : cells) texts.push_back(c ? *c : settings_.nullText);
    page_.push_back(std::move(texts));
    if (page_.size() >= PageRows()) PrintPage();
}

// A result without rows prints nothing: the feedback says "no rows selected".
void AlignedPrinter::End() {
    if (!page_.empty()) PrintPage();
}

void AlignedPrinter::FixWidths() {
    const bool headings = settings_.heading && settings_.pageSize > 0;
    widths_.assign(columns_.size(), 1);
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (headings) widths_[i] = std::max(widths_[i], WidestLine(columns_[i].name));
        for (const auto& row : page_) widths_[i] = std::max(widths_[i], WidestLine(row[i]));
    }
    // the widest text columns give way until the row fits the line
    auto total = [&] {
        int sum = static_cast<int>(widths_.size()) - 1;
        for (int w : widths_) sum += w;
        return sum;
    };
    while (total() > settings_.lineSize) {
        int widest = -1;
        for (size_t i = 0; i < widths_.size(); ++i)
            if (columns_[i].wrappable && widths_[i] > kNarrowestShrunkColumn &&
                (widest < 0 || widths_[i] > widths_[static_cast<size_t>(widest)]))
                widest = static_cast<int>(i);
        if (widest < 0) break;
        --widths_[static_cast<size_t>(widest)];
    }
}

void AlignedPrinter::PrintRow(const std::vector<std::string>& cells, bool headings) {
    std::vector<std::vector<std::string>> pieces(cells.size());
    size_t lines = 1;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (columns_[i].numeric && !headings && DisplayWidth(cells[i]) > widths_[i])
            pieces[i] = {std::string(static_cast<size_t>(widths_[i]), '#')};
        else
            pieces[i] = WrapToWidth(cells[i], widths_[i]);
        lines = std::max(lines, pieces[i].size());
    }
    std::string out;
    for (size_t line = 0; line < lines; ++line) {
        std::string text;
        for (size_t i = 0; i < cells.size(); ++i) {
            const std::string piece = line < pieces[i].size() ? pieces[i][line] : std::string();
            const std::string pad(static_cast<size_t>(std::max(0, widths_[i] - DisplayWidth(piece))), ' ');
            if (i) text += ' ';
            text += columns_[i].numeric ? pad + piece : piece + pad;
        }
        text.erase(text.find_last_not_of(' ') + 1);
        out += text + '\n';
    }
    sink_(out);
}

void AlignedPrinter::PrintPage() {
    if (widths_.empty()) FixWidths();
    if (settings_.heading && settings_.pageSize > 0) {
        if (printedPage_) sink_("\n");
        std::vector<std::string> names, rules;
        for (size_t i = 0; i < columns_.size(); ++i) {
            names.push_back(columns_[i].name);
            rules.emplace_back(static_cast<size_t>(widths_[i]), '-');
        }
        PrintRow(names, true);
        PrintRow(rules, true);
    }
    for (const auto& row : page_) PrintRow(row, false);
    page_.clear();
    printedPage_ = true;
}

}  // namespace ocilite
