#include "transfer/SplitFieldsLoop.h"

namespace tabrook::split_detail {

void SplitIntoWhole(std::string_view line, char sep, char delim, std::vector<std::string>& fields,
                    DoubleByteCode code) {
    SplitInto<true>(line, sep, delim, fields, code);
}

}  // namespace tabrook::split_detail
