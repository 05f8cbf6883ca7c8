#include "transfer/RunContext.h"

namespace tabrook {

void RunContext::Reset() {
    TableName.clear();
    CsvFile.clear();
    ListFile.clear();
    LogFile.clear();
    AutoStart = false;
    AutoClose = false;
    EscCancel = true;
    TableInfoOk = false;
    IsTable = true;
    CsvHasData = false;
    TableColumnCount = 0;
    CsvColumnCount = 0;
    GridColumnCount = 0;
    Running = false;
    JobList.Clear();
}

}  // namespace tabrook
