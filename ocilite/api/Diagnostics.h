#pragma once
// The error records an error or environment handle holds for OCIErrorGet: Oracle's number and
// the full message line "ORA-nnnnn: text". Each failing call replaces the records.

#include <string>
#include <string_view>
#include <vector>

namespace ocilite::api {

struct ErrorRecord {
    int code = 0;
    std::string message;  // "ORA-nnnnn: text", without the line end OCIErrorGet adds
};

// The error of one row of an array DML run in batch-error mode: the row's offset in the bind
// arrays and its own error record.
struct RowErrorRecord {
    unsigned offset = 0;
    ErrorRecord error;
};

class Diagnostics {
public:
    // Replaces the records with one error; message is the full "ORA-nnnnn: text".
    void Set(int code, std::string_view message);
    // Same, building the message from the number and the text after "ORA-nnnnn: ".
    void SetOra(int code, std::string_view text);
    void Add(int code, std::string_view message);
    void Clear() noexcept { records_.clear(); }
    const std::vector<ErrorRecord>& Records() const noexcept { return records_; }

    // The row errors of the last array DML executed in batch-error mode with this handle. They
    // stay until the next execute, whatever other calls record meanwhile.
    void AddRowError(unsigned offset, int code, std::string_view message);
    void ClearRowErrors() noexcept { rowErrors_.clear(); }
    const std::vector<RowErrorRecord>& RowErrors() const noexcept { return rowErrors_; }

private:
    std::vector<ErrorRecord> records_;
    std::vector<RowErrorRecord> rowErrors_;
};

}  // namespace ocilite::api
