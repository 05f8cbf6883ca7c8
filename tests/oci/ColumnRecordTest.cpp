// The type table: remapping of described types, sizing and acceptance, number masks and the
// column record built from a description.

#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>

#include "oci/DataAttr.h"
#include "oci/TOCI8Func.h"

namespace tabrook {
namespace {

describe Described(ub2 type, ub2 size, sb2 precision, sb1 scale, ub1 form = 0, const char* name = "C") {
    describe d;
    d.DataType = type;
    d.DataSize = size;
    d.Precision = precision;
    d.Scale = scale;
    d.CharSetForm = form;
    std::snprintf(d.Name, sizeof d.Name, "%s", name);
    d.NameLen = static_cast<ub4>(std::strlen(name));
    return d;
}

TEST(TypeRemap, FloatAndNationalTypes) {
    struct {
        ub2 type;
        sb2 precision;
        sb1 scale;
        ub1 form;
        int expected;
    } cases[] = {{2, 126, -127, 0, 4}, {2, 0, -127, 0, 2},   {2, 10, 2, 0, 2}, {1, 0, 0, 2, 9009}, {9, 0, 0, 2, 9009},
                 {96, 0, 0, 2, 9096},  {112, 0, 0, 2, 9112}, {1, 0, 0, 1, 1},  {96, 0, 0, 1, 96},  {113, 0, 0, 2, 113}};
    for (const auto& c : cases) {
        describe d = Described(c.type, 22, c.precision, c.scale, c.form);
        RemapDescribedType(d);
        EXPECT_EQ(d.DataType, c.expected) << c.type << "/" << int(c.form);
    }
}

TEST(TypeSizing, AcceptedTypesAndTheirBufferSizes) {
    struct {
        ub2 type;
        ub2 described;
        bool accepted;
        ub2 size;
    } cases[] = {// the sizes that are not the described size: LONG and LONG RAW get 4000, a DATE 8,
                 // a ROWID 22, LOBs and BFILEs no buffer; and the types that cannot be fetched
                 {8, 0, true, 4000},   {24, 0, true, 4000}, {12, 7, true, 8},      {104, 10, true, 22},
                 {112, 4000, true, 0}, {114, 530, true, 0}, {9112, 4000, true, 0}, {1, 20, true, 20},
                 {100, 4, false, 4},   {108, 0, false, 0},  {3, 4, false, 4}};
    for (const auto& c : cases) {
        describe d = Described(c.type, c.described, 0, 0);
        EXPECT_EQ(SizeForFetch(d), c.accepted) << c.type;
        EXPECT_EQ(d.DataSize, c.size) << c.type;
    }
}

TEST(NumberMasks, DeclaredPrecisionAndScale) {
    struct {
        int p, s;
        std::string mask;
    } cases[] = {{5, 0, "FM99999"},   {8, 2, "FM99999999.09"},
                 {1, 1, "FM9.0"},     {0, 3, "FM.099"},
                 {-3, 5, "FM.09999"}, {0, 0, ""},
                 {127, -127, ""},     {38, 0, "FM99999999999999999999999999999999999999"},
                 {3, -2, "FM999"},    {63, 0, "FM" + std::string(63, '9')}};
    for (const auto& c : cases) EXPECT_EQ(DeclaredNumberMask(c.p, c.s), c.mask) << c.p << "," << c.s;
    EXPECT_EQ(DeclaredNumberMask(64, 0), "");  // 66 characters is over the limit
}

TEST(NumberMasks, ComputedFromTheDigits) {
    const std::string fixed = "FM0D999999999999999999999999999999999999999";
    const std::string exponent = fixed + "EEEE";
    struct {
        int digits;
        bool fraction;
        std::string mask;
    } cases[] = {{4, true, "FM9999D" + std::string(36, '9')},
                 {4, false, "FM9999"},
                 {1, false, "FM9"},
                 {0, true, "FMD" + std::string(40, '9')},
                 {-1, true, fixed},
                 {-4, true, fixed},
                 {-5, true, exponent},
                 {-6, true, exponent},
                 {40, false, "FM" + std::string(40, '9')},
                 {41, false, exponent},
                 {46, false, exponent}};
    for (const auto& c : cases) EXPECT_EQ(ComputedNumberMask(c.digits, c.fraction), c.mask) << c.digits;
}

TEST(ColumnRecord, FieldsFromTheTypeTable) {
    TOCI8Func oci;  // not activated: only descriptor columns would need it
    struct {
        describe d;
        const char* typeName;
        int dataType, precision, scale, bufSize;
        const char* format;
    } cases[] = {
        // The rows whose record differs from the description: precision minus scale for a
        // NUMBER with a scale, the unconstrained NUMBER's marks, FLOAT's scale, the sizes that
        // are not the described ones (text buffers: characters times the client's bytes per
        // character, four when unknown), the LOB records without a buffer, an unknown type.
        {Described(1, 20, 0, 0), "VARCHAR2", 1, 20, 0, 80, ""},
        {Described(2, 22, 10, 2), "NUMBER", 2, 8, 2, 22, "FM99999999.09"},
        {Described(2, 22, 0, -127), "NUMBER", 2, 127, -127, 22, ""},
        {Described(4, 22, 126, -127), "FLOAT", 4, 126, 0, 22, ""},
        {Described(12, 8, 0, 0), "DATE", 12, 0, 0, 8, ""},
        {Described(24, 4000, 0, 0), "LONG RAW", 24, 0, 0, 4000, ""},
        {Described(96, 5, 0, 0), "CHAR", 96, 5, 0, 20, ""},
        {Described(104, 22, 0, 0), "ROWID", 104, 0, 0, 22, ""},
        {Described(112, 0, 0, 0), "CLOB", 112, 0, 0, 0, ""},
        {Described(9009, 40, 0, 0), "NVARCHAR2", 9009, 40, 0, 80, ""},  // 20 characters of two bytes
        {Described(9112, 0, 0, 0), "NCLOB", 9112, 0, 0, 0, ""},
        {Described(100, 4, 0, 0), "Unknown", 0, 4, 0, 4, ""},
    };
    for (auto& c : cases) {
        auto attr = BuildColumnRecord(c.d, oci);
        SCOPED_TRACE(c.typeName);
        EXPECT_EQ(attr->TypeName, c.typeName);
        EXPECT_EQ(attr->DataType, c.dataType);
        EXPECT_EQ(attr->Precision, c.precision);
        EXPECT_EQ(attr->Scale, c.scale);
        EXPECT_EQ(attr->BufSize, c.bufSize);
        EXPECT_EQ(attr->Format, c.format);
        EXPECT_EQ(attr->Buffer.size(), c.bufSize >= 1 ? static_cast<std::size_t>(c.bufSize) + 1 : 0u);
        EXPECT_EQ(attr->Descriptor, nullptr);
    }
}

TEST(ColumnRecord, NameIsTrimmedOfTrailingBlanksAndControls) {
    TOCI8Func oci;
    describe d = Described(1, 5, 0, 0, 1, "MY COL \t\r\n ");
    d.NullOk = 1;
    auto attr = BuildColumnRecord(d, oci);
    EXPECT_EQ(attr->Name, "MY COL");
    EXPECT_EQ(attr->Indicator, 1);
    EXPECT_EQ(TrimColumnName("  A  "), "  A");
}

}  // namespace
}  // namespace tabrook
