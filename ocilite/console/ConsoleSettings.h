#pragma once
// The values SET changes and SHOW prints: the page layout, the text of NULL, the messages
// after each statement, the echo of script lines and the CSV markup.

#include <optional>
#include <string>

namespace ocilite {

struct ConsoleSettings {
    int lineSize = 80;      // cells a row of aligned output may take before columns shrink
    int pageSize = 50;      // rows between repeated headings; 0: no headings at all
    std::string nullText;   // shown for NULL
    bool timing = false;    // "Elapsed: ..." after each statement
    bool feedback = false;  // "n rows selected." and "Table created." after each statement
    bool heading = true;    // column headings
    bool echo = false;      // statements of @ scripts are shown before they run
    bool csv = false;       // results as CSV (SET MARKUP CSV ON, --csv)

    // Applies the words after SET ("LINESIZE 120", "NULL (null)", "MARKUP CSV ON"); an
    // error message when the option or its value is not known.
    std::optional<std::string> Set(const std::string& words);
    // The text SHOW prints for one option ("linesize 80"), or nothing when there is no such
    // option; "ALL" gives every option, one a line.
    std::optional<std::string> Show(const std::string& option) const;
};

}  // namespace ocilite
