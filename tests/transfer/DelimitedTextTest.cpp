// Reading, splitting and writing delimited text, end to end on real files.

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/transfer/ByteLineReader.h"
#include "tests/transfer/TempFolder.h"
#include "transfer/ExportLine.h"
#include "transfer/LineBreaks.h"
#include "transfer/LineReader.h"
#include "transfer/SplitFields.h"

namespace tabrook {
namespace {

using testing::ByteLineReader;
using testing::TempFolder;

struct Call {
    std::string line;
    bool result;
};

// Every ReadLine call on the file until two calls in a row have returned false.
std::vector<Call> ReadAll(const std::string& path, std::size_t blockSize) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    EXPECT_TRUE(file);
    LineReader reader(blockSize);
    reader.Start(file.get());
    std::vector<Call> calls;
    std::string line;
    for (int falses = 0; falses < 2;) {
        const bool result = reader.ReadLine(line);
        calls.push_back({line, result});
        falses = result ? 0 : falses + 1;
    }
    return calls;
}

std::vector<Call> ReadAllByBytes(const std::string& bytes) {
    ByteLineReader reader(bytes);
    std::vector<Call> calls;
    std::string line;
    for (int falses = 0; falses < 2;) {
        const bool result = reader.ReadLine(line);
        calls.push_back({line, result});
        falses = result ? 0 : falses + 1;
    }
    return calls;
}

void ExpectCalls(const std::vector<Call>& actual, const std::vector<Call>& expected, const std::string& what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].line, expected[i].line) << what << " call " << i;
        EXPECT_EQ(actual[i].result, expected[i].result) << what << " call " << i;
    }
}

TEST(ReadLine, FilesGiveTheExpectedCalls) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<Call> calls;  // up to and including the second false
    };
    const std::vector<Case> cases = {
        {"CR LF inside, no line end at the end", "a\r\nb", {{"a", true}, {"b", false}, {"", false}}},
        {"empty file", "", {{"", false}, {"", false}}},
        {"only line ends", "\r\n\n\r", {{"", false}, {"", false}}},
        {"blank lines and mixed ends vanish",
         "\n\nx\r\r\ny\nz\r\n",
         {{"x", true}, {"y", true}, {"z", true}, {"", false}, {"", false}}},
        {"NUL ends the text of its line", std::string("ab\0cd\nef", 8), {{"ab", true}, {"ef", false}, {"", false}}},
        {"NUL first", std::string("\0x\n", 3), {{"", true}, {"", false}, {"", false}}},
        {"byte-order mark at the start is skipped",
         "\xEF\xBB\xBFid,name\n1,x\n",
         {{"id,name", true}, {"1,x", true}, {"", false}, {"", false}}},
        {"byte-order mark alone", "\xEF\xBB\xBF", {{"", false}, {"", false}}},
        {"byte-order mark on a later line is data",
         "a\n\xEF\xBB\xBF"
         "b\n",
         {{"a", true},
          {"\xEF\xBB\xBF"
           "b",
           true},
          {"", false},
          {"", false}}},
        {"half a mark is data", "\xEF\xBB", {{"\xEF\xBB", false}, {"", false}}},
        {"mark then blank lines", "\xEF\xBB\xBF\r\n\r\nq", {{"q", false}, {"", false}}},
        {"Shift-JIS bytes pass unchanged",
         "\x83\x7C|\x95\\\r\n",
         {{"\x83\x7C|\x95\\", true}, {"", false}, {"", false}}},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        const std::string path = folder.Write("in.csv", c.bytes);
        for (std::size_t block : {std::size_t{4}, std::size_t{5}, std::size_t{64 * 1024}}) {
            ExpectCalls(ReadAll(path, block), c.calls, std::string(c.name) + " block " + std::to_string(block));
        }
        ExpectCalls(ReadAllByBytes(c.bytes), c.calls, std::string(c.name) + " by bytes");
    }
}

// Random files rich in line ends, NULs and mark bytes, read with many block sizes so that
// CR LF pairs, marks and NULs fall across block edges: every call must match the byte rule.
TEST(ReadLine, BlockReadsMatchTheByteRuleAcrossBlockEdges) {
    std::mt19937 random(12345);
    const char alphabet[] = {'a', 'b', ',', '"', '\r', '\n', '\0', '\xEF', '\xBB', '\xBF'};
    TempFolder folder;
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        if (round % 3 == 0) bytes = "\xEF\xBB\xBF";
        const int length = static_cast<int>(random() % 200);
        for (int i = 0; i < length; ++i) bytes += alphabet[random() % sizeof alphabet];
        const std::string path = folder.Write("r.csv", bytes);
        const std::vector<Call> expected = ReadAllByBytes(bytes);
        for (std::size_t block : {4, 5, 7, 16, 4096}) {
            ExpectCalls(ReadAll(path, block), expected, "round " + std::to_string(round));
        }
    }
}

TEST(ReadLine, StartForgetsThePreviousFile) {
    TempFolder folder;
    const std::string first = folder.Write("1.csv", "one\ntwo\nthree\n");
    const std::string second = folder.Write("2.csv", "\xEF\xBB\xBFuno\n");
    LineReader reader;
    std::string line;
    std::FILE* file = std::fopen(first.c_str(), "rb");
    reader.Start(file);
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "one");
    std::fclose(file);  // stopped early, as a preview does
    file = std::fopen(second.c_str(), "rb");
    reader.Start(file);
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "uno");
    EXPECT_FALSE(reader.ReadLine(line));
    std::fclose(file);
}

TEST(ReadLine, AFailedReadIsToldApartFromTheEnd) {
    TempFolder folder;
    std::FILE* file = std::fopen(folder.Path().c_str(), "rb");  // a folder opens but cannot be read
    ASSERT_NE(file, nullptr);
    LineReader reader;
    reader.Start(file);
    std::string line = "stale";
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_EQ(line, "");
    EXPECT_TRUE(reader.ReadFailed());
    std::fclose(file);

    file = std::fopen(folder.Write("ok.csv", "a\n").c_str(), "rb");
    reader.Start(file);
    EXPECT_TRUE(reader.ReadLine(line));
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_FALSE(reader.ReadFailed());
    std::fclose(file);
}

TEST(ReadLine, LongLinesOverManyBlocks) {
    TempFolder folder;
    const std::string longLine(100000, 'x');
    const std::string path = folder.Write("long.csv", longLine + "\r\n" + longLine);
    ExpectCalls(ReadAll(path, 1000), {{longLine, true}, {longLine, false}, {"", false}}, "long");
}

std::vector<std::string> Fields(const std::string& joined) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t lf; (lf = joined.find('\n', start)) != std::string::npos; start = lf + 1) {
        fields.push_back(joined.substr(start, lf - start));
    }
    EXPECT_EQ(start, joined.size()) << "every field ends with LF";
    return fields;
}

TEST(SplitFields, Cases) {
    struct Case {
        std::string line;
        char sep;
        char delim;
        std::vector<std::string> fields;
    };
    const std::vector<Case> cases = {
        {"\"x,y\",12", ',', '"', {"x,y", "12"}},
        {"\"x,y\",12,", ',', '"', {"x,y", "12", ""}},
        {",", ',', '"', {"", ""}},
        {",a", ',', '"', {"", "a"}},
        {"\"\"", ',', '"', {}},
        {"", ',', '"', {}},
        {"\"\",\"\"", ',', '"', {"", ""}},
        {"a\"b,c\"d", ',', '"', {"ab,cd"}},  // delimiters may enclose any part
        {"\"a,b", ',', '"', {"a,b"}},        // unbalanced: rest in one field
        {"\"a,b\",\"c", ',', '"', {"a,b", "c"}},
        {"\"a\"\"b\"", ',', '"', {"a\"b"}},  // doubled delimiter is one character
        {"\"\"\"\"", ',', '"', {"\""}},
        {"\"say \"\"hi\"\", then\",2", ',', '"', {"say \"hi\", then", "2"}},
        {"a\"\"b", ',', '"', {"ab"}},    // outside quotes a pair opens and closes
        {"a,b", ',', '\0', {"a", "b"}},  // no delimiter: quotes are data
        {"\"a,b\"", ',', '\0', {"\"a", "b\""}},
        {"a,b\tc", '\0', '"', {"a,b\tc"}},  // no separator: one field
        {"a\tb\t", '\t', '"', {"a", "b", ""}},
        {"'x;y';'it''s'", ';', '\'', {"x;y", "it's"}},
        {"a\x83\x7C"
         "b|z",
         '|',
         '"',
         {"a\x83", "b", "z"}},  // a byte compare cuts a double-byte char
    };
    std::vector<std::string> reused = {"stale", "values", "from", "a", "previous", "line"};
    for (const Case& c : cases) {
        EXPECT_EQ(Fields(SplitFields(c.line, c.sep, c.delim)), c.fields) << c.line;
        SplitFieldsInto(c.line, c.sep, c.delim, reused);
        EXPECT_EQ(reused, c.fields) << c.line;
    }
}

TEST(SplitFields, FastFormAgreesWithThePlainFormOnRandomLines) {
    std::mt19937 random(777);
    const char alphabet[] = {'a', 'b', ',', ';', '"', '\'', '\t', ' '};
    std::vector<std::string> fields;
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        // Short lines, and long ones whose runs of ordinary bytes span the 16-byte blocks the
        // fast form scans.
        const int length = static_cast<int>(random() % (round % 2 == 0 ? 24 : 90));
        for (int i = 0; i < length; ++i) line += alphabet[random() % sizeof alphabet];
        const char sep = "\0,;\t"[random() % 4];
        const char delim = "\0\"'"[random() % 3];
        SplitFieldsInto(line, sep, delim, fields);
        ASSERT_EQ(fields, Fields(SplitFields(line, sep, delim))) << line;
    }
}

TEST(LineBreaks, BothDirections) {
    TransferSettings settings;
    settings.ReplaceCR = true;  // default text: backslash n; CRType 0: CR LF
    std::string field = "1\\n2";
    RestoreLineBreaks(field, settings);
    EXPECT_EQ(field, "1\r\n2");
    std::string value = "1\r\n2";
    ReplaceLineBreaks(value, settings);
    EXPECT_EQ(value, "1\\n2");
    value = "1\n2";
    ReplaceLineBreaks(value, settings);
    EXPECT_EQ(value, "1\n2") << "with CRType 0 a lone LF is not a CR LF pair";

    settings.CRType = 1;
    value = "a\r\nb\nc";
    ReplaceLineBreaks(value, settings);
    EXPECT_EQ(value, "a\r\\nb\\nc");
    settings.CRType = 2;
    field = "x\\n\\ny";
    RestoreLineBreaks(field, settings);
    EXPECT_EQ(field, "x\r\ry");

    settings.ReplaceCR = false;
    field = "1\\n2";
    RestoreLineBreaks(field, settings);
    EXPECT_EQ(field, "1\\n2");
}

TEST(LineBreaks, ReplaceAllRules) {
    struct Case {
        std::string text, from, to, expected;
    };
    const std::vector<Case> cases = {
        {"aaa", "aa", "b", "ba"},  // left to right, no overlap
        {"ab", "a", "aa", "aab"},  // inserted text is not scanned again
        {"XxX", "x", "-", "X-X"},  // case-sensitive
        {"abc", "", "-", "abc"},   // an empty pattern changes nothing
        {"", "a", "b", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ReplaceAll(c.text, c.from, c.to), c.expected) << c.text;
}

TEST(ExportLine, Layout) {
    std::string out;
    ExportLine comma(",", '"');
    comma.AppendHeader(out, std::vector<std::string>{"ID", "NAME", "NOTE"});
    comma.AppendRecord(out, std::vector<std::string>{"1", "a,b", "say \"hi\""}, {false, true, true});
    comma.AppendRecord(out, std::vector<std::string>{"", ""}, {false, true});
    EXPECT_EQ(out, "ID,NAME,NOTE\r\n1,\"a,b\",\"say \"\"hi\"\"\"\r\n,\"\"\r\n");

    out.clear();
    ExportLine bare("\t", '\0');
    bare.AppendRecord(out, std::vector<std::string>{"x\"y", "2"}, {true, false});
    EXPECT_EQ(out, "x\"y\t2\r\n");

    EXPECT_THROW(comma.AppendRecord(out, std::vector<std::string>{"1"}, {}), std::invalid_argument);
}

// Values written by the export layout read back field for field through the file reader and
// the splitter, delimiters and separators inside values included.
TEST(ExportLine, RoundTripThroughAFile) {
    TransferSettings settings;
    settings.ReplaceCR = true;
    const std::vector<std::vector<std::string>> rows = {
        {"1", "plain", "2026-01-02 03:04:05"}, {"2", "comma, inside", ""}, {"3", "\"quoted\" and \"\"doubled\"\"", "x"},
        {"4", "line\r\nbreak", "\""},          {"5", ",\",\",", "\"\""},
    };
    const std::vector<bool> textLike = {false, true, true};
    ExportLine writer(settings.Separator, FirstByte(settings.Delimiter));
    std::string file;
    for (std::vector<std::string> row : rows) {
        for (std::string& value : row) ReplaceLineBreaks(value, settings);
        writer.AppendRecord(file, row, textLike);
    }
    TempFolder folder;
    const std::string path = folder.Write("out.csv", file);
    std::FILE* in = std::fopen(path.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    LineReader reader(7);
    reader.Start(in);
    std::string line;
    std::vector<std::string> fields;
    std::size_t row = 0;
    while (reader.ReadLine(line)) {
        ASSERT_LT(row, rows.size());
        SplitFieldsInto(line, ',', '"', fields);
        for (std::string& field : fields) RestoreLineBreaks(field, settings);
        EXPECT_EQ(fields, rows[row]) << "row " << row;
        ++row;
    }
    std::fclose(in);
    EXPECT_EQ(row, rows.size());
    EXPECT_EQ(line, "");
}

}  // namespace
}  // namespace tabrook

namespace tabrook {
namespace {

// A file as spreadsheet programs and hand editing leave them (byte-order mark, mixed line
// ends, blank lines, quoted separators, doubled quotes, Shift-JIS bytes, a NUL, an unbalanced
// quote, no line end at the end) read the way an import reads it: every line, the last one
// delivered with false included. The expected file holds each record's fields joined by tabs.
TEST(DelimitedTextGolden, DialectFile) {
    const std::string base = std::string(TABROOK_TEST_DATA) + "/csv/dialect";
    std::FILE* file = std::fopen((base + ".csv").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    LineReader reader(16);
    reader.Start(file);
    std::string line;
    std::vector<std::string> fields;
    std::string actual;
    for (;;) {
        const bool more = reader.ReadLine(line);
        if (!more && line.empty()) break;
        SplitFieldsInto(line, ',', '"', fields);
        for (std::size_t i = 0; i < fields.size(); ++i) actual += (i ? "\t" : "") + fields[i];
        actual += '\n';
        if (!more) break;
    }
    std::fclose(file);
    EXPECT_EQ(actual, TempFolder::Read(base + ".expected"));
}

}  // namespace
}  // namespace tabrook
