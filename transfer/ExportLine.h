#pragma once
// The layout of the lines an export writes: values joined by the separator text, text-like
// values enclosed in the delimiter with each delimiter inside them doubled (so they read
// back whole), every line ending with CR LF. No byte-order mark is ever written.

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "transfer/DoubleByte.h"

namespace tabrook {

class ExportLine {
public:
    // separator: the whole Separator setting; delimiter: the first byte of Delimiter, 0 for none;
    // code: the client's double-byte scheme, so that a delimiter byte inside a character is not
    // doubled (the reader does not take it for a delimiter either).
    ExportLine(std::string separator, char delimiter, DoubleByteCode code = DoubleByteCode::None)
        : separator_(std::move(separator)),
          delimiter_(delimiter),
          code_(code),
          wholeCharacters_(CanBeInsideCharacter(code, delimiter)) {}

    // Appends the header line: the names joined by the separator, without delimiters.
    void AppendHeader(std::string& out, std::span<const std::string> names) const;

    // Appends one record; textLike[i] says whether values[i] is enclosed in delimiters.
    // The two spans have the same length.
    void AppendRecord(std::string& out, std::span<const std::string> values, const std::vector<bool>& textLike) const;

    // Appends one value as it stands in a record (without separator).
    void AppendValue(std::string& out, std::string_view value, bool textLike) const;

    static constexpr std::string_view kLineEnd = "\r\n";

private:
    std::string separator_;
    char delimiter_;
    DoubleByteCode code_;
    bool wholeCharacters_;
};

}  // namespace tabrook
