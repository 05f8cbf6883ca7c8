#pragma once
// The values that start-up sets before the stored settings and the command line change them.

#include "oci/LogonValues.h"
#include "transfer/RunContext.h"
#include "transfer/TransferSettings.h"

namespace tabrook {

// Mode stays at this marker until start-up ends; then an unset mode becomes Import.
constexpr int kModeUnset = -1;

// Sets the built-in defaults. Settings that only the stored values start (WithHeader, TimeOn,
// Truncate, AutoCommit, AutoCmtCnt, ReplaceCR, ReplaceCRString, CRType) are left alone.
void ApplyBuiltInDefaults(TransferSettings& settings, RunContext& context, LogonValues& logon);

// AUTOCLOSE counts only together with AUTOSTART: without an unattended start nothing closes
// the program by itself, so message boxes must stay.
void ApplyAutoCloseRule(RunContext& context);

// At the end of start-up: a mode that nothing set becomes Import.
void SettleMode(TransferSettings& settings);

}  // namespace tabrook
