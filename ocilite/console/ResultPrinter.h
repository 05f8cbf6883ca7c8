#pragma once
// Prints the rows of one result (a query, DESCRIBE) in one of the console's styles: '|'-joined
// lines for scripts, aligned columns for people, or CSV.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ocilite {

// Where printed text goes (the screen, a pager, a spool file).
using TextSink = std::function<void(std::string_view)>;

struct ResultColumn {
    std::string name;
    bool numeric = false;    // right-aligned in aligned output
    bool wrappable = false;  // text that may wrap when the row is too wide (dates and numbers keep their width)
};

// One cell's text; nothing for NULL.
using ResultCell = std::optional<std::string>;

class ResultPrinter {
public:
    virtual ~ResultPrinter() = default;
    virtual void Begin(const std::vector<ResultColumn>& columns) = 0;
    virtual void Row(const std::vector<ResultCell>& cells) = 0;
    // Prints what is still held back; the printer may then Begin again.
    virtual void End() = 0;
};

}  // namespace ocilite
