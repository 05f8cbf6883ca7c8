#pragma once
// How many terminal cells UTF-8 text takes: East Asian wide and fullwidth characters take two,
// combining marks none, everything else one. The aligned output pads and wraps by these cells.

#include <string>
#include <string_view>
#include <vector>

namespace ocilite {

// Cells of one code point.
int CodePointWidth(char32_t c);
// Cells of UTF-8 text (a byte that is not UTF-8 counts as one cell).
int DisplayWidth(std::string_view text);
// The text cut into pieces of at most `cells` cells each (a wide character never split); line
// breaks in the text start a new piece. Empty text gives one empty piece.
std::vector<std::string> WrapToWidth(std::string_view text, int cells);

}  // namespace ocilite
