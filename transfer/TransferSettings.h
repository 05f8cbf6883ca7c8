#pragma once
// The options of one transfer. The program keeps one instance, which the command line, the
// stored settings and the main window fill; the engines, checks and the transfer thread are
// handed it and read the values as they stand.

#include <string>

#include "transfer/FileEncoding.h"

namespace tabrook {

struct TransferSettings {
    int Mode = 0;                         // 0 Import, 1 Export (-1 while start-up has not set it)
    std::string Separator = ",";          // only the first character is used
    std::string Delimiter = "\"";         // only the first character is used; empty means none
    bool ReplaceCR = false;               // line breaks inside values travel as ReplaceCRString
    std::string ReplaceCRString = "\\n";  // up to six characters
    int CRType = 0;                       // the line break it stands for: 0 CR LF, 1 LF, 2 CR
    bool WithHeader = false;
    bool TimeOn = false;
    bool Truncate = false;
    bool AutoCommit = false;
    int AutoCmtCnt = 1;
    std::string DateFmt = "RRRR-MM-DD HH24:MI:SS";
    std::string TimestampFmt = "RRRR-MM-DD HH24:MI:SSXFF TZH:TZM";
    int ErrCnt = 100;  // 0 or less: no limit
    bool ErrStop = false;
    bool LobData = false;  // CLOB/NCLOB text and BLOB hex travel in the file
    int LoadMode = 0;      // import: kLoadInsert, kLoadUpsert or kLoadUpdate (LoadMode.h)
    FileEncoding Encoding = FileEncoding::Client;  // the CSV file's encoding
    bool MapByHeader = false;  // a job list's fields go to the columns their header names
    bool CreateTable = false;  // a job list's missing table is made from its file first
};

// The first byte of a one-character setting, or 0 when it is empty (0 matches no byte of a line).
char FirstByte(const std::string& setting);

}  // namespace tabrook
