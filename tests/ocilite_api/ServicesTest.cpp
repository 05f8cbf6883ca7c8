// The number and date services as the client uses them: statuses, results and error texts.

#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "tests/ocilite_api/OciSession.h"

using ocitest::OciSession;

namespace {

std::string NumberText(OciSession& s, const OCINumber& n, const char* fmt) {
    char buf[101];
    ub4 size = sizeof buf;
    if (OCINumberToText(s.err, &n, reinterpret_cast<const oratext*>(fmt), static_cast<ub4>(std::strlen(fmt)), nullptr,
                        0, &size, reinterpret_cast<oratext*>(buf)) != OCI_SUCCESS)
        return "error: " + s.ErrorText();
    return std::string(buf, size);
}

// The digit count the client computes before choosing a number mask: floor(log10(|n|) + 1).
int IntegerDigits(OciSession& s, const OCINumber& n) {
    OCINumber a, ten, one, lg, sum, fl;
    int v10 = 10, v1 = 1, digits = 0;
    boolean zero = 0;
    EXPECT_EQ(OCINumberAbs(s.err, &n, &a), OCI_SUCCESS);
    EXPECT_EQ(OCINumberIsZero(s.err, &a, &zero), OCI_SUCCESS);
    if (zero) return 1;
    EXPECT_EQ(OCINumberFromInt(s.err, &v10, sizeof v10, OCI_NUMBER_SIGNED, &ten), OCI_SUCCESS);
    EXPECT_EQ(OCINumberFromInt(s.err, &v1, sizeof v1, OCI_NUMBER_SIGNED, &one), OCI_SUCCESS);
    EXPECT_EQ(OCINumberLog(s.err, &ten, &a, &lg), OCI_SUCCESS);
    EXPECT_EQ(OCINumberAdd(s.err, &lg, &one, &sum), OCI_SUCCESS);
    EXPECT_EQ(OCINumberFloor(s.err, &sum, &fl), OCI_SUCCESS);
    EXPECT_EQ(OCINumberToInt(s.err, &fl, sizeof digits, OCI_NUMBER_SIGNED, &digits), OCI_SUCCESS);
    return digits;
}

TEST(OciNumberServices, ClientMaskArithmetic) {
    OciSession s;
    struct Case {
        double value;
        int digits;
        const char* fmt;
        const char* text;
    } cases[] = {{12345, 5, "FM99999", "12345"},
                 {1234.5, 4, "FM99999999.09", "1234.5"},
                 {-123.45, 3, "FM999D99", "-123.45"},
                 {0.05, -1, "FM0D999", "0.05"},
                 {0, 1, "FM9", "0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        OCINumber n;
        ASSERT_EQ(OCINumberFromReal(s.err, &c.value, sizeof c.value, &n), OCI_SUCCESS);
        EXPECT_EQ(IntegerDigits(s, n), c.digits);
        EXPECT_EQ(NumberText(s, n, c.fmt), c.text);
    }
    OCINumber zero, one, q;
    OCINumberSetZero(s.err, &zero);
    int v = 1;
    OCINumberFromInt(s.err, &v, sizeof v, OCI_NUMBER_SIGNED, &one);
    EXPECT_EQ(OCINumberDiv(s.err, &one, &zero, &q), OCI_ERROR);
    EXPECT_EQ(s.ErrorCode(), 22056);
    EXPECT_EQ(OCINumberAdd(s.err, nullptr, &one, &q), OCI_ERROR);
}

TEST(OciDateServices, TextConversionsAndBufferLimits) {
    OciSession s;
    OCIDate d{2004, 3, 1, {13, 5, 9}};
    const char* fmt = "YYYY/MM/DD HH24:MI:SS";
    char buf[256];
    ub4 size = sizeof buf;
    ASSERT_EQ(OCIDateToText(s.err, &d, reinterpret_cast<const oratext*>(fmt), static_cast<ub1>(std::strlen(fmt)),
                            reinterpret_cast<const oratext*>("American"), 8, &size, reinterpret_cast<oratext*>(buf)),
              OCI_SUCCESS)
        << s.ErrorText();
    EXPECT_EQ(std::string(buf, size), "2004/03/01 13:05:09");

    size = 5;
    std::memset(buf, 'X', sizeof buf);
    EXPECT_EQ(OCIDateToText(s.err, &d, reinterpret_cast<const oratext*>(fmt), static_cast<ub1>(std::strlen(fmt)),
                            nullptr, 0, &size, reinterpret_cast<oratext*>(buf)),
              OCI_ERROR);
    EXPECT_EQ(s.ErrorCode(), 1877);
    EXPECT_EQ(buf[5], 'X');

    const char* bad = "YYYY-ZZ";
    size = sizeof buf;
    EXPECT_EQ(OCIDateToText(s.err, &d, reinterpret_cast<const oratext*>(bad), static_cast<ub1>(std::strlen(bad)),
                            nullptr, 0, &size, reinterpret_cast<oratext*>(buf)),
              OCI_ERROR);
    EXPECT_EQ(s.ErrorCode(), 1821);

    OCIDate parsed{};
    const char* text = "2024-02-10";
    const char* pfmt = "YYYY-MM-DD";
    ASSERT_EQ(OCIDateFromText(s.err, reinterpret_cast<const oratext*>(text), static_cast<ub4>(std::strlen(text)),
                              reinterpret_cast<const oratext*>(pfmt), static_cast<ub1>(std::strlen(pfmt)), nullptr, 0,
                              &parsed),
              OCI_SUCCESS)
        << s.ErrorText();
    EXPECT_EQ(parsed.OCIDateYYYY, 2024);
    OCIDate last{};
    ASSERT_EQ(OCIDateLastDay(s.err, &parsed, &last), OCI_SUCCESS);
    EXPECT_EQ(last.OCIDateDD, 29);
    uword valid = 1;
    ASSERT_EQ(OCIDateCheck(s.err, &last, &valid), OCI_SUCCESS);
    EXPECT_EQ(valid, 0u);
    OCIDate now{};
    ASSERT_EQ(OCIDateSysDate(s.err, &now), OCI_SUCCESS);
    EXPECT_GE(now.OCIDateYYYY, 2024);
    EXPECT_EQ(OCIDateSysDate(nullptr, &now), OCI_INVALID_HANDLE);

    // The format check the client makes: the current timestamp rendered with a user's format.
    OCIDateTime* ts = nullptr;
    ASSERT_EQ(OCIDescriptorAlloc(s.env, reinterpret_cast<void**>(&ts), OCI_DTYPE_TIMESTAMP_TZ, 0, nullptr),
              OCI_SUCCESS);
    ASSERT_EQ(OCIDateTimeSysTimeStamp(s.env, s.err, ts), OCI_SUCCESS);
    const char* tfmt = "YYYY/MM/DD HH24:MI:SSXFF TZH:TZM";
    size = sizeof buf;
    ASSERT_EQ(
        OCIDateTimeToText(s.env, s.err, ts, reinterpret_cast<const OraText*>(tfmt), static_cast<ub1>(std::strlen(tfmt)),
                          6, nullptr, 0, &size, reinterpret_cast<OraText*>(buf)),
        OCI_SUCCESS)
        << s.ErrorText();
    EXPECT_EQ(size, std::strlen("2004/03/01 13:05:09.123456 +09:00"));
    OCIDescriptorFree(ts, OCI_DTYPE_TIMESTAMP_TZ);
}

}  // namespace
