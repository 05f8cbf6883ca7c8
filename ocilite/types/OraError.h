#pragma once
// An Oracle error as the embedded engine raises it: the error number and the full message
// text in Oracle's form "ORA-nnnnn: text". Every layer of the engine throws this type, and
// the OCI surface hands number and text to OCIErrorGet unchanged.

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

namespace ocilite {

class OraError : public std::exception {
public:
    // code: the ORA number (1 to 99999); text: the message after "ORA-nnnnn: ".
    OraError(int code, std::string_view text) : code_(code), message_(Format(code, text)) {}

    int Code() const noexcept { return code_; }
    // Where in the statement text the error lies (OCI_ATTR_PARSE_ERROR_OFFSET), once known:
    // the first stage that knows the place sets it, later ones leave it.
    bool HasOffset() const noexcept { return hasOffset_; }
    size_t Offset() const noexcept { return offset_; }
    void SetOffset(size_t offset) noexcept {
        offset_ = offset;
        hasOffset_ = true;
    }
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

    static std::string Format(int code, std::string_view text) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", code);
        return std::string(prefix).append(text);
    }

private:
    int code_;
    std::string message_;
    size_t offset_ = 0;
    bool hasOffset_ = false;
};

}  // namespace ocilite
