#include "ocilite/api/Diagnostics.h"

#include "ocilite/types/OraError.h"

namespace ocilite::api {

void Diagnostics::Set(int code, std::string_view message) {
    records_.clear();
    Add(code, message);
}

void Diagnostics::SetOra(int code, std::string_view text) {
    Set(code, OraError::Format(code, text));
}

void Diagnostics::Add(int code, std::string_view message) {
    records_.push_back(ErrorRecord{code, std::string(message)});
}

void Diagnostics::AddRowError(unsigned offset, int code, std::string_view message) {
    rowErrors_.push_back(RowErrorRecord{offset, ErrorRecord{code, std::string(message)}});
}

}  // namespace ocilite::api
