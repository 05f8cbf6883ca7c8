#include "transfer/SettingsLine.h"

#include <array>

namespace tabrook {

namespace {

// A lone tab would be invisible in a tab-separated line, so it is spelt out.
std::string ShowTab(const std::string& value) {
    return value == "\t" ? "(Tab)" : value;
}

const char* TrueFalse(bool value) {
    return value ? "True" : "False";
}

const char* CRTypeName(int crType) {
    switch (crType) {
        case 1: return "LF";
        case 2: return "CR";
        default: return "CRLF";
    }
}

}  // namespace

std::string SettingsLine(const TransferSettings& s) {
    const std::array<std::string, 12> entries = {
        std::string("Mode=") + (s.Mode == 1 ? "Export" : "Import"),
        "Separator=" + ShowTab(s.Separator),
        "Delimiter=" + ShowTab(s.Delimiter),
        "ReplaceCR=" + (s.ReplaceCR ? ShowTab(s.ReplaceCRString) : std::string("False")),
        std::string("CRType=") + CRTypeName(s.CRType),
        std::string("WithHeader=") + TrueFalse(s.WithHeader),
        std::string("Truncate=") + TrueFalse(s.Truncate),
        "AutoCommit=" + (s.AutoCommit ? std::to_string(s.AutoCmtCnt) : std::string("False")),
        "DateFmt=" + s.DateFmt,
        "TimestampFmt=" + s.TimestampFmt,
        "ErrCnt=" + std::to_string(s.ErrCnt),
        std::string("ErrStop=") + TrueFalse(s.ErrStop),
    };
    std::string line;
    for (const std::string& entry : entries) {
        if (!line.empty()) line += '\t';
        line += entry;
    }
    if (s.MapByHeader) line += "\tMapBy=Header";
    if (s.CreateTable) line += "\tCreate=True";
    // A named encoding is recorded; the default (Auto, Client) keeps the line as it was.
    if (s.Encoding != FileEncoding::Client && s.Encoding != FileEncoding::Auto)
        line += std::string("\tEncoding=") + EncodingKeyword(s.Encoding);
    return line;
}

}  // namespace tabrook
