// The settings line of the log, and the tab-field cutter of the job list file.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "transfer/GetField.h"
#include "transfer/SettingsLine.h"

namespace tabrook {
namespace {

TEST(SettingsLine, Defaults) {
    EXPECT_EQ(SettingsLine(TransferSettings{}),
              "Mode=Import\tSeparator=,\tDelimiter=\"\tReplaceCR=False\tCRType=CRLF\t"
              "WithHeader=False\tTruncate=False\tAutoCommit=False\t"
              "DateFmt=RRRR-MM-DD HH24:MI:SS\tTimestampFmt=RRRR-MM-DD HH24:MI:SSXFF TZH:TZM\t"
              "ErrCnt=100\tErrStop=False");
}

TEST(SettingsLine, Entries) {
    struct Case {
        const char* name;
        void (*change)(TransferSettings&);
        std::string entry;
    };
    const std::vector<Case> cases = {
        {"export", [](TransferSettings& s) { s.Mode = 1; }, "Mode=Export"},
        {"tab separator", [](TransferSettings& s) { s.Separator = "\t"; }, "Separator=(Tab)"},
        {"empty separator", [](TransferSettings& s) { s.Separator = ""; }, "Separator=\t"},
        {"tab delimiter", [](TransferSettings& s) { s.Delimiter = "\t"; }, "Delimiter=(Tab)"},
        {"no delimiter", [](TransferSettings& s) { s.Delimiter = ""; }, "Delimiter=\tReplaceCR"},
        {"replace off hides the text", [](TransferSettings& s) { s.ReplaceCRString = "<br>"; }, "ReplaceCR=False"},
        {"replace on",
         [](TransferSettings& s) {
             s.ReplaceCR = true;
             s.ReplaceCRString = "<br>";
         },
         "ReplaceCR=<br>"},
        {"replace by tab",
         [](TransferSettings& s) {
             s.ReplaceCR = true;
             s.ReplaceCRString = "\t";
         },
         "ReplaceCR=(Tab)"},
        {"LF", [](TransferSettings& s) { s.CRType = 1; }, "CRType=LF"},
        {"CR", [](TransferSettings& s) { s.CRType = 2; }, "CRType=CR"},
        {"header", [](TransferSettings& s) { s.WithHeader = true; }, "WithHeader=True"},
        {"truncate", [](TransferSettings& s) { s.Truncate = true; }, "Truncate=True"},
        {"commit every 500",
         [](TransferSettings& s) {
             s.AutoCommit = true;
             s.AutoCmtCnt = 500;
         },
         "AutoCommit=500"},
        {"interval without commit", [](TransferSettings& s) { s.AutoCmtCnt = 500; }, "AutoCommit=False"},
        {"error limit", [](TransferSettings& s) { s.ErrCnt = 0; }, "ErrCnt=0\t"},
        {"stop on error", [](TransferSettings& s) { s.ErrStop = true; }, "ErrStop=True"},
    };
    for (const Case& c : cases) {
        TransferSettings settings;
        c.change(settings);
        const std::string line = SettingsLine(settings);
        EXPECT_NE(line.find(c.entry), std::string::npos) << c.name << ": " << line;
        EXPECT_EQ(line.find("TimeOn"), std::string::npos);
    }
    TransferSettings timeOn;
    timeOn.TimeOn = true;
    EXPECT_EQ(SettingsLine(timeOn), SettingsLine(TransferSettings{})) << "TimeOn is not part of the line";
}

TEST(GetField, Pieces) {
    struct Case {
        std::string text, sep;
        int n;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"word", "\t", 1, ""},  {"one\ttwo", "\t", 1, "two"}, {"one\t", "\t", 1, ""},   {"one\ttwo", "\t", 0, "one"},
        {"\ttwo", "\t", 0, ""}, {"a\tb\tc", "\t", 2, "c"},    {"a\tb\tc", "\t", 3, ""}, {"a::b::c", "::", 1, "b"},
        {"", "\t", 0, ""},      {"abc", "", 0, "abc"},        {"abc", "\t", -1, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(GetField(c.text, c.sep, c.n), c.expected) << c.text << " #" << c.n;
}

}  // namespace
}  // namespace tabrook
