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

class Diagnostics {
public:
    // Replaces the records with one error; message is the full "ORA-nnnnn: text".
    void Set(int code, std::string_view message);
    // Same, building the message from the number and the text after "ORA-nnnnn: ".
    void SetOra(int code, std::string_view text);
    void Add(int code, std::string_view message);
    void Clear() noexcept { records_.clear(); }
    const std::vector<ErrorRecord>& Records() const noexcept { return records_; }

private:
    std::vector<ErrorRecord> records_;
};

}  // namespace ocilite::api
