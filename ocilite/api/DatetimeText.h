#pragma once
// Datetime values as text in the session's default formats (NLS_DATE_FORMAT 'DD-MON-RR',
// NLS_TIMESTAMP_FORMAT 'DD-MON-RR HH.MI.SSXFF AM', NLS_TIMESTAMP_TZ_FORMAT with ' TZR'):
// what a DATE or TIMESTAMP column gives when it is fetched into a character buffer, and how
// character data fetched into a date buffer is read.

#include <string>
#include <string_view>

#include "ocilite/types/OraTimestamp.h"

namespace ocilite::api {

// kind: 0 DATE, 1 TIMESTAMP, 2 TIMESTAMP WITH TIME ZONE, 3 WITH LOCAL TIME ZONE.
void AppendDefaultDatetimeText(std::string& out, const OraTimestamp& value, int kind, int fsPrecision);
// Throws OraError as TO_DATE / TO_TIMESTAMP with the default format do.
OraTimestamp ParseDefaultDatetimeText(std::string_view text, int kind);

}  // namespace ocilite::api
