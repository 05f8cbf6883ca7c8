// Every external type both ways: what a bind buffer delivers to the engine, and what a fetched
// value writes into a define buffer (data, indicator, returned length, return code).

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

#include "tests/ocilite_api/FakeEngine.h"
#include "tests/ocilite_api/OciSession.h"
#include "tests/ocilite_api/ValueRepr.h"

using namespace ocilite;
using ocitest::OciSession;

namespace {

std::vector<unsigned char> Bytes(std::initializer_list<int> b) {
    std::vector<unsigned char> v;
    for (int x : b) v.push_back(static_cast<unsigned char>(x));
    return v;
}
template <class T>
std::vector<unsigned char> BytesOf(T value) {
    std::vector<unsigned char> v(sizeof value);
    std::memcpy(v.data(), &value, sizeof value);
    return v;
}
std::vector<unsigned char> Str(const std::string& s, bool nul) {
    std::vector<unsigned char> v(s.begin(), s.end());
    if (nul) v.push_back(0);
    return v;
}

class ConversionTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        ASSERT_EQ(s.Logon("scott", "tiger", "a.db"), OCI_SUCCESS);
    }
    // Binds one buffer as :V and executes; returns the status.
    sword BindAndRun(ub2 dty, void* value, sb4 size, sb2* ind = nullptr, ub1 form = SQLCS_IMPLICIT) {
        fake::TheWorld().executed.clear();
        fake::Script script;
        script.bindNames = {"V"};
        fake::TheWorld().scripts["insert into T values (:V)"] = script;
        OCIStmt* stmt = s.NewStatement();
        const char* sql = "insert into T values (:V)";
        EXPECT_EQ(OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql), static_cast<ub4>(std::strlen(sql)),
                                 OCI_NTV_SYNTAX, OCI_DEFAULT),
                  OCI_SUCCESS);
        OCIBind* bind = nullptr;
        EXPECT_EQ(OCIBindByName(stmt, &bind, s.err, reinterpret_cast<const OraText*>(":V"), 2, value, size, dty, ind,
                                nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
                  OCI_SUCCESS);
        if (form != SQLCS_IMPLICIT) {
            EXPECT_EQ(OCIAttrSet(bind, OCI_HTYPE_BIND, &form, 0, OCI_ATTR_CHARSET_FORM, s.err), OCI_SUCCESS);
        }
        sword rc = OCIStmtExecute(s.svc, stmt, s.err, 1, 0, nullptr, nullptr, OCI_DEFAULT);
        OCIHandleFree(stmt, OCI_HTYPE_STMT);
        return rc;
    }
    std::string LastBound() {
        if (fake::TheWorld().executed.empty()) return "<none>";
        return ocitest::Repr(fake::TheWorld().executed.back().at(0));
    }
    // Fetches one value of the given column description into a buffer defined as dty/size.
    sword DefineAndFetch(const Value& v, const ColumnInfo& column, ub2 dty, void* buf, sb4 size, sb2* ind, ub2* rlen,
                         ub2* rcode) {
        fake::Script script;
        script.columns = {column};
        script.rows = {{v}};
        fake::TheWorld().scripts["select V from T"] = script;
        stmt_ = s.NewStatement();
        const char* sql = "select V from T";
        EXPECT_EQ(OCIStmtPrepare(stmt_, s.err, reinterpret_cast<const OraText*>(sql), 15, OCI_NTV_SYNTAX, OCI_DEFAULT),
                  OCI_SUCCESS);
        EXPECT_EQ(OCIStmtExecute(s.svc, stmt_, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS);
        OCIDefine* def = nullptr;
        EXPECT_EQ(OCIDefineByPos(stmt_, &def, s.err, 1, buf, size, dty, ind, rlen, rcode, OCI_DEFAULT), OCI_SUCCESS);
        return OCIStmtFetch(stmt_, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT);
    }
    OciSession s;
    OCIStmt* stmt_ = nullptr;
};

struct BindCase {
    const char* name;
    ub2 dty;
    std::vector<unsigned char> buffer;
    sb4 size;  // -1: the buffer's size
    sb2 indicator;
    ub1 form;
    const char* expected;  // Repr of the bound value, or "ORA-nnnnn" for an error
};

TEST_F(ConversionTest, BindBuffersBecomeEngineValues) {
    OCIDate date{2024, 3, 5, {13, 45, 9}};
    OCIDate badDate{2024, 13, 5, {0, 0, 0}};
    const BindCase cases[] = {
        {"str", SQLT_STR, Str("abc", true), -1, 0, SQLCS_IMPLICIT, "TEXT:abc"},
        {"str stops at NUL", SQLT_STR, Str("ab\0cd", true), -1, 0, SQLCS_IMPLICIT, "TEXT:ab"},
        {"str NULL by size 0", SQLT_STR, Str("abc", true), 0, 0, SQLCS_IMPLICIT, "NULL"},
        {"str NULL by indicator", SQLT_STR, Str("abc", true), -1, -1, SQLCS_IMPLICIT, "NULL"},
        {"empty str", SQLT_STR, Str("", true), -1, 0, SQLCS_IMPLICIT, "TEXT:"},
        {"national str", SQLT_STR, Str("\xe6\x97\xa5", true), -1, 0, SQLCS_NCHAR, "NTEXT:\xe6\x97\xa5"},
        {"chr keeps blanks", SQLT_CHR, Str("ab ", false), -1, 0, SQLCS_IMPLICIT, "TEXT:ab "},
        {"afc", SQLT_AFC, Str("x  ", false), -1, 0, SQLCS_IMPLICIT, "TEXT:x  "},
        {"vcs", SQLT_VCS, Bytes({3, 0, 'x', 'y', 'z', 'q'}), -1, 0, SQLCS_IMPLICIT, "TEXT:xyz"},
        {"int4", SQLT_INT, BytesOf<int32_t>(-42), -1, 0, SQLCS_IMPLICIT, "NUM:-42"},
        {"int8", SQLT_INT, BytesOf<int64_t>(1234567890123LL), -1, 0, SQLCS_IMPLICIT, "NUM:1234567890123"},
        {"int2", SQLT_INT, BytesOf<int16_t>(-7), -1, 0, SQLCS_IMPLICIT, "NUM:-7"},
        {"int NULL by size 0", SQLT_INT, BytesOf<int32_t>(5), 0, 0, SQLCS_IMPLICIT, "NULL"},
        {"int of 3 bytes", SQLT_INT, Bytes({1, 2, 3}), -1, 0, SQLCS_IMPLICIT, "ORA-01460"},
        {"uint4", SQLT_UIN, BytesOf<uint32_t>(4000000000u), -1, 0, SQLCS_IMPLICIT, "NUM:4000000000"},
        {"double", SQLT_FLT, BytesOf<double>(1.5), -1, 0, SQLCS_IMPLICIT, "NUM:1.5"},
        {"float", SQLT_FLT, BytesOf<float>(0.25f), -1, 0, SQLCS_IMPLICIT, "NUM:.25"},
        {"double NULL by size 0", SQLT_FLT, BytesOf<double>(1.5), 0, 0, SQLCS_IMPLICIT, "NULL"},
        {"binary float", SQLT_BFLOAT, BytesOf<float>(2.5f), -1, 0, SQLCS_IMPLICIT, "BF:2.500000"},
        {"binary double", SQLT_BDOUBLE, BytesOf<double>(-0.5), -1, 0, SQLCS_IMPLICIT, "BD:-0.500000"},
        {"OCIDate", SQLT_ODT, BytesOf(date), -1, 0, SQLCS_IMPLICIT, "DT0:2024-03-05 13:45:09.000000000"},
        {"OCIDate NULL by size 0", SQLT_ODT, BytesOf(date), 0, 0, SQLCS_IMPLICIT, "NULL"},
        {"OCIDate month 13", SQLT_ODT, BytesOf(badDate), -1, 0, SQLCS_IMPLICIT, "ORA-"},
        {"7-byte date", SQLT_DAT, Bytes({120, 124, 3, 15, 14, 46, 31}), -1, 0, SQLCS_IMPLICIT,
         "DT0:2024-03-15 13:45:30.000000000"},
        {"varnum", SQLT_VNU, Bytes({4, 194, 2, 24, 46, 0, 0}), -1, 0, SQLCS_IMPLICIT, "NUM:123.45"},
        {"number", SQLT_NUM, Bytes({61, 100, 78, 56, 102}), -1, 0, SQLCS_IMPLICIT, "NUM:-123.45"},
        {"raw", SQLT_BIN, Bytes({0x01, 0xab, 0x00}), -1, 0, SQLCS_IMPLICIT, "RAW:01AB00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> buf = c.buffer;
        sb2 ind = c.indicator;
        sword rc = BindAndRun(c.dty, buf.data(), c.size < 0 ? static_cast<sb4>(buf.size()) : c.size, &ind, c.form);
        std::string expected = c.expected;
        if (expected.rfind("ORA-", 0) == 0) {
            EXPECT_EQ(rc, OCI_ERROR);
            EXPECT_EQ(s.ErrorText().substr(0, expected.size()), expected);
        } else {
            ASSERT_EQ(rc, OCI_SUCCESS) << s.ErrorText();
            EXPECT_EQ(LastBound(), expected);
        }
    }
}

TEST_F(ConversionTest, UnknownExternalTypesAreRefusedWhenNamed) {
    fake::Script script;
    script.bindNames = {"V"};
    script.columns = {ColumnInfo{}};
    fake::TheWorld().scripts["select V from T"] = script;
    OCIStmt* stmt = s.NewStatement();
    ASSERT_EQ(OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>("select V from T"), 15, OCI_NTV_SYNTAX,
                             OCI_DEFAULT),
              OCI_SUCCESS);
    char buf[8] = {};
    OCIBind* bind = nullptr;
    // 9112 is no external type (a client's private code for NCLOB); 250 is a PL/SQL record.
    for (ub2 dty : {ub2(9112), ub2(250)}) {
        EXPECT_EQ(OCIBindByName(stmt, &bind, s.err, reinterpret_cast<const OraText*>(":V"), 2, buf, sizeof buf, dty,
                                nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
                  OCI_ERROR);
        EXPECT_EQ(s.ErrorText(), "ORA-03115: unsupported network datatype or representation");
    }
    ASSERT_EQ(OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS);
    OCIDefine* def = nullptr;
    EXPECT_EQ(OCIDefineByPos(stmt, &def, s.err, 1, buf, -1, 9112, nullptr, nullptr, nullptr, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(s.ErrorCode(), 3115);
    OCIHandleFree(stmt, OCI_HTYPE_STMT);
}

TEST_F(ConversionTest, DescriptorBindsReadTheDescriptor) {
    OCIRowid* rowid = nullptr;
    ASSERT_EQ(OCIDescriptorAlloc(s.env, reinterpret_cast<void**>(&rowid), OCI_DTYPE_ROWID, 0, nullptr), OCI_SUCCESS);
    // An empty rowid descriptor binds NULL; value size 4 is what a 32-bit caller passes for a pointer.
    ASSERT_EQ(BindAndRun(SQLT_RDD, &rowid, 4), OCI_SUCCESS);
    EXPECT_EQ(LastBound(), "NULL");

    OCIDateTime* ts = nullptr;
    ASSERT_EQ(OCIDescriptorAlloc(s.env, reinterpret_cast<void**>(&ts), OCI_DTYPE_TIMESTAMP_TZ, 0, nullptr),
              OCI_SUCCESS);
    ASSERT_EQ(OCIDateTimeSysTimeStamp(s.env, s.err, ts), OCI_SUCCESS);
    ASSERT_EQ(BindAndRun(SQLT_TIMESTAMP_TZ, &ts, sizeof ts), OCI_SUCCESS);
    std::string bound = LastBound();
    EXPECT_EQ(bound.substr(0, 4), "DT2:");
    EXPECT_EQ(bound.substr(bound.size() - 2), " Z");

    OCILobLocator* lob = nullptr;
    ASSERT_EQ(OCIDescriptorAlloc(s.env, reinterpret_cast<void**>(&lob), OCI_DTYPE_LOB, 0, nullptr), OCI_SUCCESS);
    ASSERT_EQ(BindAndRun(SQLT_BLOB, &lob, 0), OCI_SUCCESS);
    EXPECT_EQ(LastBound(), "NULL") << "a locator that points at nothing binds NULL";
    // A descriptor of the wrong kind is refused.
    EXPECT_EQ(BindAndRun(SQLT_CLOB, &ts, sizeof ts), OCI_ERROR);
    EXPECT_EQ(s.ErrorCode(), 3115);
}

struct DefineCase {
    const char* name;
    Value value;
    uint16_t columnType;
    int16_t precision;
    int8_t scale;
    ub2 dty;
    sb4 size;
    std::vector<unsigned char> expected;  // leading bytes of the buffer
    sb2 ind;
    ub2 rlen;
    ub2 rcode;
    const char* error;  // expected error text prefix, or nullptr
};

Value Num(const char* text) {
    return OraNumber::Parse(text);
}
Value Date(int y, int mo, int d, int h, int mi, int s, uint32_t nanos = 0, DatetimeKind kind = DatetimeKind::Date) {
    OraTimestamp ts;
    ts.year = y;
    ts.month = mo;
    ts.day = d;
    ts.hour = h;
    ts.minute = mi;
    ts.second = s;
    ts.nanos = nanos;
    return DatetimeValue{kind, ts};
}

TEST_F(ConversionTest, DefinesWriteDataIndicatorLengthAndCode) {
    OCIDate expectedDate{2004, 3, 1, {13, 5, 9}};
    std::vector<unsigned char> dateBytes = BytesOf(expectedDate);
    dateBytes.pop_back();  // the padding byte is not compared
    const DefineCase cases[] = {
        {"text as str", TextValue{"abc"}, 1, 0, 0, SQLT_STR, 10, Str("abc", true), 0, 3, 0, nullptr},
        {"char as afc pads", TextValue{"ab   "}, 96, 0, 0, SQLT_AFC, 6, Str("ab    ", false), 0, 6, 0, nullptr},
        {"text as chr", TextValue{"abc"}, 1, 0, 0, SQLT_CHR, 5, Str("abc", false), 0, 3, 0, nullptr},
        {"text as vcs", TextValue{"abc"}, 1, 0, 0, SQLT_VCS, 10, Bytes({3, 0, 'a', 'b', 'c'}), 0, 5, 0, nullptr},
        {"text truncated", TextValue{"abcdef"}, 1, 0, 0, SQLT_STR, 4, Str("abc", true), 6, 3, 1406, nullptr},
        {"number as str", Num("12.50"), 2, 0, -127, SQLT_STR, 40, Str("12.5", true), 0, 4, 0, nullptr},
        {"fraction as str", Num("0.05"), 2, 0, -127, SQLT_STR, 40, Str(".05", true), 0, 3, 0, nullptr},
        {"number as varnum", Num("123.45"), 2, 0, -127, SQLT_VNU, 22, Bytes({4, 194, 2, 24, 46}), 0, 5, 0, nullptr},
        {"number as num", Num("-1"), 2, 0, -127, SQLT_NUM, 21, Bytes({62, 100, 102}), 0, 3, 0, nullptr},
        {"number as int", Num("42.9"), 2, 0, -127, SQLT_INT, 4, BytesOf<int32_t>(42), 0, 4, 0, nullptr},
        {"number overflows int1", Num("300"), 2, 0, -127, SQLT_INT, 1, {}, 0, 0, 0, "ORA-01455"},
        {"number as double", Num("1.5"), 2, 0, -127, SQLT_FLT, 8, BytesOf<double>(1.5), 0, 8, 0, nullptr},
        {"text into number", TextValue{"7"}, 1, 0, 0, SQLT_VNU, 22, Bytes({2, 193, 8}), 0, 3, 0, nullptr},
        {"bad text into number", TextValue{"x1"}, 1, 0, 0, SQLT_VNU, 22, {}, 0, 0, 0, "ORA-01722: invalid number"},
        {"date as OCIDate", Date(2004, 3, 1, 13, 5, 9), 12, 0, 0, SQLT_ODT, 8, dateBytes, 0, 8, 0, nullptr},
        {"date as 7 bytes", Date(2004, 3, 1, 13, 5, 9), 12, 0, 0, SQLT_DAT, 7, Bytes({120, 104, 3, 1, 14, 6, 10}), 0, 7,
         0, nullptr},
        {"date as str", Date(2004, 3, 1, 13, 5, 9), 12, 0, 0, SQLT_STR, 20, Str("01-MAR-04", true), 0, 9, 0, nullptr},
        {"raw as bin", RawValue{std::string("\x01\xab", 2)}, 23, 0, 0, SQLT_BIN, 4, Bytes({1, 0xab}), 0, 2, 0, nullptr},
        {"raw as str", RawValue{std::string("\x01\xab", 2)}, 23, 0, 0, SQLT_STR, 8, Str("01AB", true), 0, 4, 0,
         nullptr},
        {"interval as str", OraIntervalYM{14}, 189, 2, 0, SQLT_STR, 20, Str("+01-02", true), 0, 6, 0, nullptr},
        {"rowid as vcs", RowidValue{"AAAAB0AABAAAAAQAAA"}, 104, 0, 0, SQLT_VCS, 23, Bytes({18, 0, 'A', 'A'}), 0, 20, 0,
         nullptr},
        {"clob as str", LobRefValue{112, false, "x"}, 112, 0, 0, SQLT_STR, 20, Str("x", true), 0, 1, 0, nullptr},
        {"blob as str",
         LobRefValue{113, false, "x"},
         113,
         0,
         0,
         SQLT_STR,
         20,
         {},
         0,
         0,
         0,
         "ORA-00932: inconsistent datatypes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ColumnInfo column;
        column.name = "V";
        column.dataType = c.columnType;
        column.precision = c.precision;
        column.scale = c.scale;
        std::vector<unsigned char> buf(64, 0xee);
        sb2 ind = 99;
        ub2 rlen = 99, rcode = 99;
        sword rc = DefineAndFetch(c.value, column, c.dty, buf.data(), c.size, &ind, &rlen, &rcode);
        if (c.error != nullptr) {
            EXPECT_EQ(rc, OCI_ERROR);
            EXPECT_EQ(s.ErrorText().substr(0, std::strlen(c.error)), c.error);
        } else {
            EXPECT_EQ(rc, c.rcode == 0 ? OCI_SUCCESS : OCI_SUCCESS_WITH_INFO) << s.ErrorText();
            EXPECT_EQ(std::vector<unsigned char>(buf.begin(), buf.begin() + static_cast<long>(c.expected.size())),
                      c.expected);
            EXPECT_EQ(buf[static_cast<size_t>(c.size)], 0xee) << "nothing written past the buffer";
            EXPECT_EQ(ind, c.ind);
            EXPECT_EQ(rlen, c.rlen);
            EXPECT_EQ(rcode, c.rcode);
        }
        OCIHandleFree(stmt_, OCI_HTYPE_STMT);
    }
}

TEST_F(ConversionTest, TimestampAndIntervalDescriptorsThroughTheTextServices) {
    ColumnInfo column;
    column.name = "TS";
    column.dataType = 187;
    column.scale = 6;
    OCIDateTime* ts = nullptr;
    ASSERT_EQ(OCIDescriptorAlloc(s.env, reinterpret_cast<void**>(&ts), OCI_DTYPE_TIMESTAMP, 0, nullptr), OCI_SUCCESS);
    sb2 ind = 0;
    ub2 rlen = 0;
    // Value size 4 is what the client passes for the address of its descriptor pointer.
    ASSERT_EQ(DefineAndFetch(Date(2004, 3, 1, 13, 5, 9, 123456000, DatetimeKind::Timestamp), column, SQLT_TIMESTAMP,
                             &ts, 4, &ind, &rlen, nullptr),
              OCI_SUCCESS)
        << s.ErrorText();
    char text[64];
    ub4 size = sizeof text;
    const char* fmt = "YYYY/MM/DD HH24:MI:SSXFF";
    ASSERT_EQ(
        OCIDateTimeToText(s.env, s.err, ts, reinterpret_cast<const OraText*>(fmt), static_cast<ub1>(std::strlen(fmt)),
                          6, nullptr, 0, &size, reinterpret_cast<OraText*>(text)),
        OCI_SUCCESS)
        << s.ErrorText();
    EXPECT_EQ(std::string(text, size), "2004/03/01 13:05:09.123456");

    OCIHandleFree(stmt_, OCI_HTYPE_STMT);
    column.dataType = 190;
    column.precision = 2;
    column.scale = 6;
    OCIInterval* iv = nullptr;
    ASSERT_EQ(OCIDescriptorAlloc(s.env, reinterpret_cast<void**>(&iv), OCI_DTYPE_INTERVAL_DS, 0, nullptr), OCI_SUCCESS);
    ASSERT_EQ(DefineAndFetch(OraIntervalDS::FromParts(false, 5, 4, 3, 2, 100000000), column, SQLT_INTERVAL_DS, &iv,
                             sizeof iv, &ind, &rlen, nullptr),
              OCI_SUCCESS)
        << s.ErrorText();
    size_t len = 0;
    ASSERT_EQ(OCIIntervalToText(s.env, s.err, iv, 2, 6, reinterpret_cast<OraText*>(text), sizeof text, &len),
              OCI_SUCCESS);
    EXPECT_EQ(std::string(text, len), "+05 04:03:02.100000");
    // A define into a descriptor of the wrong kind is refused.
    OCIHandleFree(stmt_, OCI_HTYPE_STMT);
    EXPECT_EQ(DefineAndFetch(OraIntervalYM{3}, column, SQLT_INTERVAL_YM, &iv, sizeof iv, &ind, &rlen, nullptr),
              OCI_ERROR);
}

TEST_F(ConversionTest, LobColumnsFetchIntoLocatorsThatCarryTheirContent) {
    ColumnInfo column;
    column.name = "C";
    column.dataType = 112;
    column.charsetForm = 1;
    OCILobLocator* lob = nullptr;
    ASSERT_EQ(OCIDescriptorAlloc(s.env, reinterpret_cast<void**>(&lob), OCI_DTYPE_LOB, 0, nullptr), OCI_SUCCESS);
    sb2 ind = 0;
    ub2 rlen = 0;
    ASSERT_EQ(DefineAndFetch(LobRefValue{112, false, "T/C/1"}, column, SQLT_CLOB, &lob, -1, &ind, &rlen, nullptr),
              OCI_SUCCESS)
        << s.ErrorText();
    EXPECT_EQ(ind, 0);
    ub1 form = 0;
    ASSERT_EQ(OCILobCharSetForm(s.env, s.err, lob, &form), OCI_SUCCESS);
    EXPECT_EQ(form, SQLCS_IMPLICIT);
    ub4 amount = 10;
    char buf[16];
    ASSERT_EQ(OCILobRead(s.svc, s.err, lob, &amount, 1, buf, sizeof buf, nullptr, nullptr, 0, SQLCS_IMPLICIT),
              OCI_SUCCESS)
        << s.ErrorText();
    EXPECT_EQ(std::string(buf, amount), "T/C/1");
    ub4 length = 0;
    EXPECT_EQ(OCILobGetLength(s.svc, s.err, lob, &length), OCI_SUCCESS);
    EXPECT_EQ(length, 5u);
    // A CLOB value cannot be defined into a BLOB locator.
    EXPECT_EQ(DefineAndFetch(LobRefValue{112, false, "x"}, column, SQLT_BLOB, &lob, -1, &ind, &rlen, nullptr),
              OCI_ERROR);
    // A locator that was never filled is an invalid locator.
    OCILobLocator* empty = nullptr;
    ASSERT_EQ(OCIDescriptorAlloc(s.env, reinterpret_cast<void**>(&empty), OCI_DTYPE_LOB, 0, nullptr), OCI_SUCCESS);
    EXPECT_EQ(OCILobGetLength(s.svc, s.err, empty, &length), OCI_ERROR);
    EXPECT_EQ(s.ErrorCode(), 22275);
    EXPECT_EQ(OCILobGetLength(s.svc, s.err, reinterpret_cast<OCILobLocator*>(s.err), &length), OCI_INVALID_HANDLE);
}

}  // namespace
