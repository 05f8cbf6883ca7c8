// The OCIDate services and the datetime/interval text services.

#include <cstring>
#include <string_view>

#include "ocilite/api/DatetimeDescriptor.h"
#include "ocilite/api/IntervalDescriptor.h"
#include "ocilite/api/OciCall.h"
#include "ocilite/api/OciExports.h"
#include "ocilite/api/RowidDescriptor.h"
#include "ocilite/types/DatetimeOci.h"

using namespace ocilite::api;
using ocilite::OciDate;
using ocilite::OraError;

namespace {

std::string_view Text(const oratext* p, size_t len) {
    return p == nullptr ? std::string_view() : std::string_view(reinterpret_cast<const char*>(p), len);
}

template <class T>
T* Need(T* p) {
    if (p == nullptr) throw OraError(1891, "Datetime/Interval internal error");
    return p;
}

const OciDate& DateOf(const OCIDate* d) {
    return *reinterpret_cast<const OciDate*>(Need(d));
}
OciDate* DateOut(OCIDate* d) {
    return reinterpret_cast<OciDate*>(Need(d));
}

template <class F>
sword DateCall(OCIError* err, F&& body) {
    Diagnostics* diagnostics = DiagnosticsOf(err);
    if (diagnostics == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        body();
        return OCI_SUCCESS;
    });
}

ocilite::DatetimeKind KindOf(ub4 descriptorType) {
    switch (descriptorType) {
        case OCI_DTYPE_TIMESTAMP: return ocilite::DatetimeKind::Timestamp;
        case OCI_DTYPE_TIMESTAMP_TZ: return ocilite::DatetimeKind::TimestampTz;
        case OCI_DTYPE_TIMESTAMP_LTZ: return ocilite::DatetimeKind::TimestampLtz;
        default: return ocilite::DatetimeKind::Date;
    }
}

OCIDateTime* DatetimeDescriptor(const void* p) {
    HandleBase* h = LiveHandle(p);
    if (h == nullptr || h->type < OCI_DTYPE_DATE || h->type > OCI_DTYPE_TIMESTAMP_LTZ || h->type == OCI_DTYPE_TIME ||
        h->type == OCI_DTYPE_TIME_TZ)
        return nullptr;
    return static_cast<OCIDateTime*>(h);
}

}  // namespace

extern "C" {

sword OCIDateFromText(OCIError* err, const oratext* date_str, ub4 d_str_length, const oratext* fmt, ub1 fmt_length,
                      const oratext* lang_name, ub4 lang_length, OCIDate* date) {
    return DateCall(err, [&] {
        std::string_view text = d_str_length == static_cast<ub4>(-1) && date_str != nullptr
                                    ? std::string_view(reinterpret_cast<const char*>(date_str))
                                    : Text(Need(date_str), d_str_length);
        ocilite::OciDateFromText(text, Text(fmt, fmt_length), Text(lang_name, lang_length), DateOut(date));
    });
}

sword OCIDateToText(OCIError* err, const OCIDate* date, const oratext* fmt, ub1 fmt_length, const oratext* lang_name,
                    ub4 lang_length, ub4* buf_size, oratext* buf) {
    return DateCall(err, [&] {
        ocilite::OciDateToText(DateOf(date), Text(fmt, fmt_length), Text(lang_name, lang_length),
                               reinterpret_cast<char*>(Need(buf)), Need(buf_size));
    });
}

sword OCIDateSysDate(OCIError* err, OCIDate* sys_date) {
    return DateCall(err, [&] { ocilite::OciDateSysDate(DateOut(sys_date)); });
}

sword OCIDateCheck(OCIError* err, const OCIDate* date, uword* valid) {
    return DateCall(err, [&] { *Need(valid) = ocilite::OciDateCheck(DateOf(date)); });
}

sword OCIDateLastDay(OCIError* err, const OCIDate* date, OCIDate* last_day) {
    return DateCall(err, [&] { ocilite::OciDateLastDay(DateOf(date), DateOut(last_day)); });
}

sword OCIDateNextDay(OCIError* err, const OCIDate* date, const oratext* day_p, ub4 day_length, OCIDate* next_day) {
    return DateCall(err,
                    [&] { ocilite::OciDateNextDay(DateOf(date), Text(Need(day_p), day_length), DateOut(next_day)); });
}

sword OCIDateTimeToText(void* hndl, OCIError* err, const OCIDateTime* date, const OraText* fmt, ub1 fmt_length,
                        ub1 fsprec, const OraText* lang_name, size_t lang_length, ub4* buf_size, OraText* buf) {
    if (LiveHandle(hndl) == nullptr) return OCI_INVALID_HANDLE;
    OCIDateTime* dt = DatetimeDescriptor(date);
    if (dt == nullptr) return OCI_INVALID_HANDLE;
    return DateCall(err, [&] {
        if (!dt->hasValue) throw OraError(1891, "Datetime/Interval internal error");
        ocilite::OciDateTimeToText(dt->value, KindOf(dt->type), Text(fmt, fmt_length), fsprec,
                                   Text(lang_name, lang_length), reinterpret_cast<char*>(Need(buf)), Need(buf_size));
    });
}

sword OCIDateTimeSysTimeStamp(void* hndl, OCIError* err, OCIDateTime* sys_date) {
    if (LiveHandle(hndl) == nullptr) return OCI_INVALID_HANDLE;
    OCIDateTime* dt = DatetimeDescriptor(sys_date);
    if (dt == nullptr) return OCI_INVALID_HANDLE;
    return DateCall(err, [&] {
        ocilite::OraTimestamp now = ocilite::OciDateTimeSysTimeStamp();
        // The current time is a TIMESTAMP WITH TIME ZONE; other kinds keep the local wall time.
        if (dt->type != OCI_DTYPE_TIMESTAMP_TZ) now.hasZone = false;
        if (dt->type == OCI_DTYPE_DATE) now.nanos = 0;
        dt->value = now;
        dt->hasValue = true;
        dt->fsPrecision = dt->type == OCI_DTYPE_DATE ? 0 : 6;
    });
}

sword OCIDateTimeGetDate(void* hndl, OCIError* err, const OCIDateTime* date, sb2* yr, ub1* mnth, ub1* dy) {
    if (LiveHandle(hndl) == nullptr) return OCI_INVALID_HANDLE;
    OCIDateTime* dt = DatetimeDescriptor(date);
    if (dt == nullptr) return OCI_INVALID_HANDLE;
    return DateCall(err, [&] {
        if (!dt->hasValue) throw OraError(1891, "Datetime/Interval internal error");
        *Need(yr) = static_cast<sb2>(dt->value.year);
        *Need(mnth) = static_cast<ub1>(dt->value.month);
        *Need(dy) = static_cast<ub1>(dt->value.day);
    });
}

sword OCIDateTimeGetTime(void* hndl, OCIError* err, OCIDateTime* datetime, ub1* hr, ub1* mm, ub1* ss, ub4* fsec) {
    if (LiveHandle(hndl) == nullptr) return OCI_INVALID_HANDLE;
    OCIDateTime* dt = DatetimeDescriptor(datetime);
    if (dt == nullptr) return OCI_INVALID_HANDLE;
    return DateCall(err, [&] {
        if (!dt->hasValue) throw OraError(1891, "Datetime/Interval internal error");
        *Need(hr) = static_cast<ub1>(dt->value.hour);
        *Need(mm) = static_cast<ub1>(dt->value.minute);
        *Need(ss) = static_cast<ub1>(dt->value.second);
        *Need(fsec) = dt->value.nanos;
    });
}

sword OCIDateTimeGetTimeZoneOffset(void* hndl, OCIError* err, const OCIDateTime* datetime, sb1* hr, sb1* mm) {
    if (LiveHandle(hndl) == nullptr) return OCI_INVALID_HANDLE;
    OCIDateTime* dt = DatetimeDescriptor(datetime);
    if (dt == nullptr) return OCI_INVALID_HANDLE;
    return DateCall(err, [&] {
        if (!dt->hasValue) throw OraError(1891, "Datetime/Interval internal error");
        if (dt->type != OCI_DTYPE_TIMESTAMP_TZ && dt->type != OCI_DTYPE_TIMESTAMP_LTZ)
            throw OraError(1878, "specified field not found in datetime or interval");
        // a value with local time zone is shown in the session's zone
        const int minutes = dt->value.hasZone ? dt->value.tzMinutes : ocilite::OraTimestamp::Now(true).tzMinutes;
        *Need(hr) = static_cast<sb1>(minutes / 60);
        *Need(mm) = static_cast<sb1>(minutes % 60);
    });
}

sword OCIDateTimeConstruct(void* hndl, OCIError* err, OCIDateTime* datetime, sb2 yr, ub1 mnth, ub1 dy, ub1 hr, ub1 mm,
                           ub1 ss, ub4 fsec, OraText* timezone, size_t timezone_length) {
    if (LiveHandle(hndl) == nullptr) return OCI_INVALID_HANDLE;
    OCIDateTime* dt = DatetimeDescriptor(datetime);
    if (dt == nullptr) return OCI_INVALID_HANDLE;
    return DateCall(err, [&] {
        ocilite::OraTimestamp t;
        t.year = yr;
        t.month = mnth;
        t.day = dy;
        t.hour = hr;
        t.minute = mm;
        t.second = ss;
        t.nanos = dt->type == OCI_DTYPE_DATE ? 0 : fsec;
        if (dt->type == OCI_DTYPE_TIMESTAMP_TZ) {
            // "[+|-]hh:mm"; without one the session's zone
            t.hasZone = true;
            t.tzMinutes = ocilite::OraTimestamp::Now(true).tzMinutes;
            const std::string_view zone = Text(timezone, timezone_length);
            if (!zone.empty()) {
                const int sign = zone[0] == '-' ? -1 : 1;
                const size_t at = zone[0] == '-' || zone[0] == '+' ? 1 : 0;
                const size_t colon = zone.find(':', at);
                if (colon == std::string_view::npos) throw OraError(1857, "not a valid time zone");
                int hours = 0, minutes = 0;
                for (char c : zone.substr(at, colon - at)) {
                    if (c < '0' || c > '9') throw OraError(1857, "not a valid time zone");
                    hours = hours * 10 + (c - '0');
                }
                for (char c : zone.substr(colon + 1)) {
                    if (c < '0' || c > '9') throw OraError(1857, "not a valid time zone");
                    minutes = minutes * 10 + (c - '0');
                }
                t.tzMinutes = sign * (hours * 60 + minutes);
            }
        }
        t.Validate();
        dt->value = t;
        dt->hasValue = true;
        dt->fsPrecision = dt->type == OCI_DTYPE_DATE ? 0 : 9;
    });
}

sword OCIIntervalGetDaySecond(void* hndl, OCIError* err, sb4* dy, sb4* hr, sb4* mm, sb4* ss, sb4* fsec,
                              const OCIInterval* result) {
    if (LiveHandle(hndl) == nullptr) return OCI_INVALID_HANDLE;
    HandleBase* h = LiveHandle(result);
    if (h == nullptr || h->type != OCI_DTYPE_INTERVAL_DS) return OCI_INVALID_HANDLE;
    const auto* iv = static_cast<const OCIInterval*>(h);
    return DateCall(err, [&] {
        // every field carries the interval's sign
        const ocilite::OraIntervalDS& d = iv->daySecond;
        const int sign = d.IsNegative() ? -1 : 1;
        *Need(dy) = static_cast<sb4>(sign * d.Days());
        *Need(hr) = sign * d.Hours();
        *Need(mm) = sign * d.Minutes();
        *Need(ss) = sign * d.Seconds();
        *Need(fsec) = static_cast<sb4>(sign * d.Nanos());
    });
}

sword OCIIntervalGetYearMonth(void* hndl, OCIError* err, sb4* yr, sb4* mnth, const OCIInterval* result) {
    if (LiveHandle(hndl) == nullptr) return OCI_INVALID_HANDLE;
    HandleBase* h = LiveHandle(result);
    if (h == nullptr || h->type != OCI_DTYPE_INTERVAL_YM) return OCI_INVALID_HANDLE;
    const auto* iv = static_cast<const OCIInterval*>(h);
    return DateCall(err, [&] {
        *Need(yr) = static_cast<sb4>(iv->yearMonth.months / 12);
        *Need(mnth) = static_cast<sb4>(iv->yearMonth.months % 12);
    });
}

sword OCIIntervalSetDaySecond(void* hndl, OCIError* err, sb4 dy, sb4 hr, sb4 mm, sb4 ss, sb4 fsec,
                              OCIInterval* result) {
    if (LiveHandle(hndl) == nullptr) return OCI_INVALID_HANDLE;
    HandleBase* h = LiveHandle(result);
    if (h == nullptr || h->type != OCI_DTYPE_INTERVAL_DS) return OCI_INVALID_HANDLE;
    auto* iv = static_cast<OCIInterval*>(h);
    return DateCall(err, [&] {
        const int64_t nanos = ((int64_t(dy) * 86400 + int64_t(hr) * 3600 + int64_t(mm) * 60 + ss) * 1000000000) + fsec;
        iv->daySecond.seconds = nanos / 1000000000;
        iv->daySecond.nanos = static_cast<int32_t>(nanos % 1000000000);
        iv->hasValue = true;
    });
}

sword OCIIntervalSetYearMonth(void* hndl, OCIError* err, sb4 yr, sb4 mnth, OCIInterval* result) {
    if (LiveHandle(hndl) == nullptr) return OCI_INVALID_HANDLE;
    HandleBase* h = LiveHandle(result);
    if (h == nullptr || h->type != OCI_DTYPE_INTERVAL_YM) return OCI_INVALID_HANDLE;
    auto* iv = static_cast<OCIInterval*>(h);
    return DateCall(err, [&] {
        iv->yearMonth.months = int64_t(yr) * 12 + mnth;
        iv->hasValue = true;
    });
}

sword OCIRowidToChar(OCIRowid* rowidDesc, OraText* outbfp, ub2* outbflp, OCIError* errhp) {
    OCIRowid* rowid = HandleAs<OCIRowid>(rowidDesc, OCI_DTYPE_ROWID);
    if (rowid == nullptr || outbflp == nullptr) return OCI_INVALID_HANDLE;
    return DateCall(errhp, [&] {
        const size_t room = *outbflp;
        *outbflp = static_cast<ub2>(rowid->text.size());
        if (outbfp == nullptr || room < rowid->text.size()) throw OraError(1406, "fetched column value was truncated");
        std::memcpy(outbfp, rowid->text.data(), rowid->text.size());
    });
}

sword OCIIntervalToText(void* hndl, OCIError* err, const OCIInterval* inter, ub1 lfprec, ub1 fsprec, OraText* buffer,
                        size_t buflen, size_t* resultlen) {
    if (LiveHandle(hndl) == nullptr) return OCI_INVALID_HANDLE;
    HandleBase* h = LiveHandle(inter);
    if (h == nullptr || (h->type != OCI_DTYPE_INTERVAL_YM && h->type != OCI_DTYPE_INTERVAL_DS))
        return OCI_INVALID_HANDLE;
    const auto* iv = static_cast<const OCIInterval*>(h);
    return DateCall(err, [&] {
        char* out = reinterpret_cast<char*>(Need(buffer));
        if (iv->type == OCI_DTYPE_INTERVAL_YM)
            ocilite::OciIntervalToText(iv->yearMonth, lfprec, out, buflen, Need(resultlen));
        else
            ocilite::OciIntervalToText(iv->daySecond, lfprec, fsprec, out, buflen, Need(resultlen));
    });
}

}  // extern "C"
