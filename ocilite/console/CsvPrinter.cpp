#include "ocilite/console/CsvPrinter.h"

namespace ocilite {

std::string CsvPrinter::Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

void CsvPrinter::Begin(const std::vector<ResultColumn>& columns) {
    if (!settings_.heading) return;
    std::string line;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i) line += ',';
        line += Field(columns[i].name);
    }
    sink_(line + "\r\n");
}

void CsvPrinter::Row(const std::vector<ResultCell>& cells) {
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i) line += ',';
        line += Field(cells[i] ? *cells[i] : settings_.nullText);
    }
    sink_(line + "\r\n");
}

}  // namespace ocilite
