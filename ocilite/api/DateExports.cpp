// The OCIDate services and the datetime/interval text services.

#include <string_view>

#include "ocilite/api/DatetimeDescriptor.h"
#include "ocilite/api/IntervalDescriptor.h"
#include "ocilite/api/OciCall.h"
#include "ocilite/api/OciExports.h"
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
