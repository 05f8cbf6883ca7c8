#pragma once
// Shared helpers for the datetime tests: building values, a canonical text of a value, and
// catching the ORA code of a call.

#include <cstdio>
#include <functional>
#include <string>

#include "ocilite/types/OraError.h"
#include "ocilite/types/OraTimestamp.h"

namespace dttest {

inline ocilite::OraTimestamp Ts(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, uint32_t ns = 0) {
    ocilite::OraTimestamp t;
    t.year = y;
    t.month = mo;
    t.day = d;
    t.hour = h;
    t.minute = mi;
    t.second = s;
    t.nanos = ns;
    return t;
}

inline ocilite::OraTimestamp Tz(ocilite::OraTimestamp t, int tzMinutes) {
    t.hasZone = true;
    t.tzMinutes = tzMinutes;
    return t;
}

// "2004-03-01 13:05:09.123456000 +09:00" (zone only when present); independent of the renderer.
inline std::string Canon(const ocilite::OraTimestamp& t) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%05d-%02d-%02d %02d:%02d:%02d.%09u", t.year, t.month, t.day, t.hour, t.minute,
                  t.second, t.nanos);
    std::string s = buf;
    if (t.hasZone) {
        const int a = t.tzMinutes < 0 ? -t.tzMinutes : t.tzMinutes;
        std::snprintf(buf, sizeof buf, " %c%02d:%02d", t.tzMinutes < 0 ? '-' : '+', a / 60, a % 60);
        s += buf;
    }
    return s;
}

// The ORA code the call throws, 0 when it returns normally.
inline int OraCodeOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const ocilite::OraError& e) {
        return e.Code();
    }
    return 0;
}

}  // namespace dttest
