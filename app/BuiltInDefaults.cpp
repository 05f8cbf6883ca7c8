#include "app/BuiltInDefaults.h"

namespace tabrook {

void ApplyBuiltInDefaults(TransferSettings& settings, RunContext& context, LogonValues& logon) {
    settings.Mode = kModeUnset;
    settings.Separator = ",";
    settings.Delimiter = "\"";
    settings.ErrCnt = 100;
    settings.ErrStop = false;
    settings.LobData = false;
    settings.Encoding = FileEncoding::Auto;
    settings.DateFmt = "RRRR-MM-DD HH24:MI:SS";
    settings.TimestampFmt = "RRRR-MM-DD HH24:MI:SSXFF TZH:TZM";
    context.ListFile.clear();
    context.LogFile.clear();
    context.AutoStart = false;
    context.AutoClose = false;
    context.EscCancel = true;
    context.TableInfoOk = false;
    context.CsvHasData = false;
    context.TableColumnCount = 0;
    context.CsvColumnCount = 0;
    context.IsTable = true;
    logon = LogonValues{};
}

void ApplyAutoCloseRule(RunContext& context) {
    if (!context.AutoStart) context.AutoClose = false;
}

void SettleMode(TransferSettings& settings) {
    if (settings.Mode == kModeUnset) settings.Mode = 0;
}

}  // namespace tabrook
