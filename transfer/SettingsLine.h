#pragma once
// The one-line textual form of the transfer settings, written to the run log when a run starts.

#include <string>

#include "transfer/TransferSettings.h"

namespace tabrook {

// Twelve "Name=value" entries joined by tabs: Mode, Separator, Delimiter, ReplaceCR, CRType,
// WithHeader, Truncate, AutoCommit, DateFmt, TimestampFmt, ErrCnt, ErrStop.
std::string SettingsLine(const TransferSettings& settings);

}  // namespace tabrook
