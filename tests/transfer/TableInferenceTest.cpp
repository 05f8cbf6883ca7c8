// The table a CSV file suggests, read from real files: names made valid identifiers, types
// from every value. One row per tricky file.
#include <gtest/gtest.h>

#include <string>

#include "tests/transfer/TempFolder.h"
#include "transfer/TableFromFile.h"
#include "transfer/TransferSettings.h"

namespace tabrook {
namespace {

struct InferenceCase {
    const char* what;
    std::string csv;
    std::string columns;  // the statement's column lines, joined by " | "
    bool header = true;
};

const std::string kLongName(140, 'N');

const InferenceCase kCases[] = {
    {"leading zeros stay text, 1e5 and + too", "A,B,C\r\n007,1e5,+5\r\n12,2,3\r\n",
     "A VARCHAR2(3 BYTE) | B VARCHAR2(3 BYTE) | C VARCHAR2(2 BYTE)"},
    {"negative decimals and Oracle's .5", "amount,rate\r\n-12.345,.5\r\n100,-0.25\r\n",
     "AMOUNT NUMBER(6,3) | RATE NUMBER(2,2)"},
    {"dates: short and long forms, then one that is not", "d1,d2\r\n2020-04-01,2020-02-29 23:59:59\r\n"
     "2021-12-31 10:00:00,2021-02-29\r\n",
     "D1 DATE | D2 VARCHAR2(19 BYTE)"},
    {"timestamps by their fraction", "T\r\n2020-04-01 09:00:00.123\r\n2020-04-01 09:00:00.5\r\n",
     "T TIMESTAMP(3)"},
    {"empty columns and values", "a,b,c\r\n,1,\r\n,,\r\n", "A VARCHAR2(1 BYTE) | B NUMBER(1) | C VARCHAR2(1 BYTE)"},
    {"Japanese, duplicate and reserved names", "氏名,id,ID,date,Number,order no,\r\nあ,1,2,x,y,z,w\r\n",
     "\"氏名\" VARCHAR2(3 BYTE) | ID NUMBER(1) | ID_2 NUMBER(1) | \"DATE\" VARCHAR2(1 BYTE) | "
     "\"NUMBER\" VARCHAR2(1 BYTE) | \"order no\" VARCHAR2(1 BYTE) | COL7 VARCHAR2(1 BYTE)"},
    {"names past the limit are cut and kept unique", kLongName + "A," + kLongName + "B\r\n1,2\r\n",
     std::string(128, 'N') + " NUMBER(1) | " + std::string(126, 'N') + "_2 NUMBER(1)"},
    {"no header: COL1, COL2; text past 4000 bytes is a CLOB", "1,\"" + std::string(4001, 'x') + "\"\r\n",
     "COL1 NUMBER(1) | COL2 CLOB", false},
};

TEST(TableInference, ProposesNamesAndTypesFromEveryValue) {
    testing::TempFolder folder;
    for (const InferenceCase& c : kCases) {
        SCOPED_TRACE(c.what);
        TransferSettings settings;
        settings.WithHeader = c.header;
        const TableProposal proposal =
            ProposeTable(folder.Write("in.csv", c.csv), "T", settings, "AL32UTF8", DoubleByteCode::None, nullptr);
        ASSERT_TRUE(proposal.Failure.empty()) << proposal.Failure;
        std::string columns = proposal.Statement;
        ASSERT_EQ(columns.rfind("CREATE TABLE \"T\" (\n  ", 0), 0u) << columns;
        columns = columns.substr(21, columns.size() - 23);
        for (std::size_t at; (at = columns.find(",\n  ")) != std::string::npos;) columns.replace(at, 4, " | ");
        EXPECT_EQ(columns, c.columns);
    }
}

TEST(TableInference, ACancelledReadingProposesNothing) {
    testing::TempFolder folder;
    std::string csv;
    for (int k = 0; k < 3000; ++k) csv += std::to_string(k) + "\r\n";
    int calls = 0;
    const TableProposal proposal = ProposeTable(folder.Write("big.csv", csv), "T", TransferSettings{}, "AL32UTF8",
                                                DoubleByteCode::None, [&](long long, long long) { return ++calls < 2; });
    EXPECT_TRUE(proposal.Cancelled);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(proposal.Statement, "");
}

}  // namespace
}  // namespace tabrook
