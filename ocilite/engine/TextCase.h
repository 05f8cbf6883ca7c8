#pragma once
// UPPER, LOWER and INITCAP over UTF-8 text: each character maps by its Unicode simple case
// mapping (one character to one character, as the database maps it), so non-ASCII letters
// change case too and the character count never changes.

#include <string>
#include <string_view>

namespace ocilite {

enum class TextCase { Upper, Lower, Initial };

// Bytes that are not valid UTF-8 are copied as they are.
std::string ChangeCase(std::string_view utf8, TextCase how);

}  // namespace ocilite
