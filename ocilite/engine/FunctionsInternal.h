#pragma once
// Shared by the parts of the function library: Functions.cpp (helpers, lookup, calls) and
// one file per family, each exporting its part of the function table. Internal to the engine.

#include <span>
#include <string>
#include <vector>

#include "ocilite/engine/Functions.h"
#include "ocilite/types/OraInterval.h"
#include "ocilite/types/OraTimestamp.h"

namespace ocilite::fn {

// ---- helpers -----------------------------------------------------------------------------
SqlType NumberType();
SqlType TextType(bool national = false);
SqlType Want(TypeKind k);

const std::string& Str(const Value& v);
const OraNumber& Num(const Value& v);
Value TextOrNull(std::string s, bool national = false);
bool AnyNull(const std::vector<Value>& a);
int64_t IntArg(const Value& v);
int IntervalDigits(int64_t v);

// Result type when two expressions meet in NVL/DECODE/CASE/GREATEST: the first non-null one.
SqlType Common(const std::vector<SqlType>& ts, size_t from = 0, size_t step = 1);

const DatetimeFormat& CachedFormat(FnState& st, const std::string& text, FormatUse use, DatetimeKind kind);

OraTimestamp NowFor(const EvalContext& cx);

// Whole seconds of a monotonic clock. The coarse clock is read without a system call and is
// plenty for a value refreshed once a second.
int64_t MonotonicSecond();

const OraTimestamp& CachedNow(FnState& st, const EvalContext& cx);

// ---- datetime arithmetic ------------------------------------------------------------------
OraTimestamp AddNanos(const OraTimestamp& t, int64_t seconds, int64_t nanos);

OraTimestamp AddMonths(const OraTimestamp& t, int64_t months);

// Datetime plus an INTERVAL YEAR TO MONTH: the day stays as it is, and a day the target month
// does not have is an error (ADD_MONTHS moves to the month's last day instead).
OraTimestamp AddIntervalMonths(const OraTimestamp& t, int64_t months);

// Days between two datetimes as a NUMBER (fractional).
OraNumber DaysBetween(const OraTimestamp& a, const OraTimestamp& b);

OraIntervalDS Difference(const OraTimestamp& a, const OraTimestamp& b);

// ROUND and TRUNC of a datetime to one of the documented units (FunctionsDatetime.cpp).
OraTimestamp TruncDate(const OraTimestamp& t, const std::string& fmtIn, bool round);

// The operators + - * / and the numeric functions.
std::span<const FunctionDef> ArithmeticFunctions();
// The character functions and concatenation.
std::span<const FunctionDef> TextFunctions();
// The conversion functions, CAST, character set conversion and the LOB constructors.
std::span<const FunctionDef> ConversionFunctions();
// NULL handling and comparison: NVL, NVL2, COALESCE, NULLIF, DECODE, GREATEST, LEAST.
std::span<const FunctionDef> NullFunctions();
// The datetime functions and USER.
std::span<const FunctionDef> DatetimeFunctions();

}  // namespace ocilite::fn
