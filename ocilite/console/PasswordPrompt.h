#pragma once
// Asks for a password on the terminal without showing it: each character typed shows as '*'.

#include <optional>
#include <string>

namespace ocilite {

// The password typed after `prompt`, or nothing when there is no terminal or input ended.
std::optional<std::string> AskPassword(const std::string& prompt);
// A line typed after `prompt` on the terminal (shown as typed).
std::optional<std::string> AskLine(const std::string& prompt);

}  // namespace ocilite
