#include "ocilite/console/PipePrinter.h"

namespace ocilite {

void PipePrinter::Begin(const std::vector<ResultColumn>& columns) {
    if (!settings_.heading) return;
    std::string line;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i) line += '|';
        line += columns[i].name;
    }
    sink_(line + '\n');
}

void PipePrinter::Row(const std::vector<ResultCell>& cells) {
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i) line += '|';
        line += cells[i] ? *cells[i] : settings_.nullText;
    }
    sink_(line + '\n');
}

}  // namespace ocilite
