#pragma once
// What a preview cell keeps of a value: a field or column value of any length would be held,
// copied and drawn whole by the grid, so a cell keeps a bounded prefix, cut on a character
// boundary of the client's character set, and a mark that the value goes on.

#include <cstddef>
#include <string>

#include "transfer/DoubleByte.h"

namespace tabrook {

// The most bytes of a value a preview cell keeps (before the mark).
inline constexpr std::size_t kPreviewCellBytes = 4096;
// Appended to a cut value. ASCII, so that it reads the same in every client character set.
inline constexpr char kPreviewCutMark[] = "...";

// value itself when it fits; otherwise its first whole characters within kPreviewCellBytes and
// kPreviewCutMark. goesOn: value is already the start of a longer one, and gets the mark too.
std::string PreviewCellText(std::string value, DoubleByteCode code, bool goesOn = false);

}  // namespace tabrook
