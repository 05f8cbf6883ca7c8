#pragma once
// Matching the fields of a CSV file's header line to the columns of a table by name. Names
// are compared without letter case and without the blanks and delimiters around them. Each
// field gets the column of its name; a field without one gets none (it is skipped); the
// columns the file lacks come after the file's fields (they are padded with NULL, as short
// records are). A column is given to the first field of its name only.

#include <string>
#include <string_view>
#include <vector>

namespace tabrook {

struct HeaderArrangement {
    // Per position (the file's fields, then the columns it lacks): the index of the column
    // above it, -1 for a field without a column.
    std::vector<int> Order;
    int Matched = 0;
    std::vector<std::string> Unmatched;  // the fields without a column, in file order
};

// The name as it is compared: without surrounding blanks and delimiters, ASCII letters upper.
std::string HeaderKey(std::string_view name, char delimiter = '"');

HeaderArrangement ArrangeByHeader(const std::vector<std::string>& header, const std::vector<std::string>& columns,
                                  char delimiter = '"');

// The status text after an arrangement: how many fields matched and the first few that did not.
std::string ArrangementSummary(const HeaderArrangement& arrangement);

// Why a job whose header matches no column fails.
inline constexpr char kHeaderMatchesNoColumn[] = "ヘッダー行の項目名がテーブルのどのカラムとも一致しません。";
inline constexpr char kNoHeaderToMatch[] = "ヘッダー行がないため、項目名でカラムを対応付けできません。";

}  // namespace tabrook
