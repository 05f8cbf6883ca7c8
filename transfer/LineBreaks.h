#pragma once
// A value's line breaks travel either as they are, inside the value's delimiters (a record then
// spans lines, see RecordReader), or, when ReplaceCR is set, as a replacement text
// (ReplaceCRString) standing for one kind of line break (CRType).

#include <string>
#include <string_view>

#include "transfer/TransferSettings.h"

namespace tabrook {

// The line break that CRType names: 0 CR LF, 1 LF, 2 CR (any other value counts as 0).
std::string_view LineBreakOf(int crType);

// text with every occurrence of from replaced by to: case-sensitive, left to right, inserted
// text is not scanned again. An empty from changes nothing.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Import direction: the replacement text becomes the line break (when ReplaceCR is set).
void RestoreLineBreaks(std::string& field, const TransferSettings& settings);

// Export direction: the line break becomes the replacement text (when ReplaceCR is set).
void ReplaceLineBreaks(std::string& value, const TransferSettings& settings);

}  // namespace tabrook
