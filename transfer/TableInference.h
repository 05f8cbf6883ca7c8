#pragma once
// TableInference: the CREATE TABLE statement a CSV file suggests. Column names come from the
// header line (or COL1, COL2, ...) made into valid Oracle identifiers: a plain name in upper
// case, a name that is not plain or is a reserved word in double quotes, every name cut to
// the length limit and made unique. Each column's type comes from every value of the file:
// NUMBER(p,s) when all are plain decimal numbers (no leading zeros such as "007", no sign
// "+", no exponent: those stay text, as codes do), DATE when all read with the date format,
// TIMESTAMP(n) when all read with the timestamp format up to its fraction, otherwise
// VARCHAR2(n BYTE) for the longest value, CLOB past 4,000 bytes. Empty values are allowed
// everywhere (no NOT NULL).

#include <string>
#include <string_view>
#include <vector>

namespace tabrook {

struct InferredColumn {
    std::string Name;  // as it stands in the statement (quoted when it must be)
    std::string Type;  // "NUMBER(5,2)", "DATE", "VARCHAR2(12 BYTE)", ...
};

class TableInference {
public:
    static constexpr std::size_t kMaxIdentifierBytes = 128;
    static constexpr std::size_t kMaxVarcharBytes = 4000;

    TableInference(std::string dateFormat, std::string timestampFormat);

    // The fields of the header line (call at most once, before or after the records).
    void SetHeader(const std::vector<std::string>& names);
    // One record's fields (in the client character set).
    void AddRecord(const std::vector<std::string>& fields);

    std::vector<InferredColumn> Columns() const;
    // CREATE TABLE for table (quoted as the import quotes it) with Columns().
    std::string Statement(const std::string& table) const;

private:
    struct Facts {
        bool any = false;  // a non-empty value was seen
        bool number = true;
        bool date = true;
        bool timestamp = true;
        int integerDigits = 0;
        int scale = 0;
        int fraction = 0;  // timestamp fraction digits
        std::size_t bytes = 0;
    };
    void Take(Facts& facts, std::string_view value) const;

    std::string dateFormat_;
    std::string timestampFormat_;
    std::vector<std::string> header_;
    std::vector<Facts> columns_;
};

// The identifiers for names: valid, quoted when they must be, unique, within the limit.
std::vector<std::string> ColumnIdentifiers(const std::vector<std::string>& names, std::size_t count);

// Whether text reads with the Oracle datetime format (YYYY/RRRR, YY/RR, MM, DD, HH24, HH/HH12,
// MI, SS, FF[n], X, TZH, TZM, AM/PM, literal punctuation and "quoted text"). A value may stop
// after a whole element once the day is given, as Oracle lets it; fraction gets the digits of
// its FF element (0 when none).
bool ReadsWithFormat(std::string_view text, std::string_view format, int& fraction);

}  // namespace tabrook
