#pragma once

#include <string>
#include <string_view>

namespace tabrook {

// The n-th piece (from 0) of text cut at every occurrence of sep; empty when there are fewer
// pieces. No quoting is recognised. An empty sep never matches: the whole text is piece 0.
std::string GetField(std::string_view text, std::string_view sep, int n);

}  // namespace tabrook
