#pragma once
// The outcome of an OCI call as one value: its code (the Oracle error number after OCI_ERROR,
// else the OCI status; -1 for a refusal of this layer's own), its message, and what a caller
// is to make of it. The client layer's components keep the last one and let callers read it.

#include <cstdint>
#include <string>

#include "ociabi/OciTypes.h"

namespace tabrook {

enum class ErrorAction : std::uint8_t {
    None,       // the call succeeded
    Warning,    // it succeeded with information (OCI_SUCCESS_WITH_INFO): go on, tell the user
    NoData,     // the end of the rows or of the data (OCI_NO_DATA)
    Reconnect,  // the session is gone (the connection broke or was closed): log on again
    Fail,       // the call failed: report the message
};

struct OciError {
    sb4 Code = 0;
    std::string Message;
    ErrorAction Action = ErrorAction::None;

    bool Ok() const { return Code == 0; }
    // A failure of this layer's own (no session, a value too long, ...), with code.
    static OciError Own(std::string message, sb4 code = -1) { return {code, std::move(message), ErrorAction::Fail}; }
};

// What a caller is to make of an OCI status and, after OCI_ERROR, the Oracle error number.
ErrorAction ActionOf(sword status, sb4 oracleCode);

// Keeps a component's last error; only the component writes it.
class OciErrorHolder {
public:
    const std::string& ErrMsg() const { return error_.Message; }
    sb4 ErrCode() const { return error_.Code; }
    const OciError& LastError() const { return error_; }

protected:
    void SetError(OciError error) { error_ = std::move(error); }
    void SetError(sb4 code, std::string message) { error_ = OciError::Own(std::move(message), code); }
    void ClearError() { error_ = OciError{}; }

private:
    OciError error_;
};

}  // namespace tabrook
