// Reading records that span lines, and splitting text of double-byte character sets, on real
// files: golden files, table cases, and the block reader against the byte-by-byte rule.

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/transfer/ByteRecordReader.h"
#include "tests/transfer/TempFolder.h"
#include "transfer/DoubleByte.h"
#include "transfer/ExportLine.h"
#include "transfer/RecordReader.h"
#include "transfer/SplitFields.h"

namespace tabrook {
namespace {

using testing::ByteRecordReader;
using testing::TempFolder;

using namespace std::string_literals;
using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

struct Call {
    std::string record;
    bool result;
    bool unclosed = false;
    bool operator==(const Call&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Call& call) {
    return out << (call.result ? "true " : "false ") << (call.unclosed ? "unclosed " : "")
               << ::testing::PrintToString(call.record);
}

// Every ReadRecord call of reader until two calls in a row have returned false.
template <typename Reader>
std::vector<Call> ReadAll(Reader& reader) {
    std::vector<Call> calls;
    std::string record;
    for (int falses = 0; falses < 2;) {
        const bool result = reader.ReadRecord(record);
        calls.push_back({record, result, reader.Unclosed()});
        falses = result ? 0 : falses + 1;
    }
    return calls;
}

// The bytes as an open file (in memory; an empty one as a temporary file), read in blocks.
std::vector<Call> ReadBytes(const std::string& bytes, char delim, DoubleByteCode code, std::size_t block) {
    File file(bytes.empty() ? std::tmpfile() : fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb"),
              std::fclose);
    EXPECT_TRUE(file);
    RecordReader reader(block);
    reader.Start(file.get(), delim, code);
    return ReadAll(reader);
}

std::vector<Call> ReadByReference(const std::string& bytes, char delim, DoubleByteCode code) {
    ByteRecordReader reader(bytes, delim, code);
    return ReadAll(reader);
}

// A field as the golden files hold it: CR, LF and tab written as escapes (a backslash stays as
// it is: it is the second byte of many Shift-JIS characters).
std::string Escaped(const std::string& field) {
    std::string out;
    for (char c : field) {
        switch (c) {
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            default: out += c;
        }
    }
    return out;
}

// The records of a file the way an import reads them (the last one delivered with false
// included), one line each: + or - for the result (! for an unclosed one), then the fields
// joined by tabs.
std::string ReadGolden(const std::string& path, char sep, char delim, DoubleByteCode code, std::size_t block) {
    File file(std::fopen(path.c_str(), "rb"), std::fclose);
    EXPECT_TRUE(file) << path;
    if (!file) return {};
    RecordReader reader(block);
    reader.Start(file.get(), delim, code);
    std::string record;
    std::vector<std::string> fields;
    std::string out;
    for (;;) {
        const bool more = reader.ReadRecord(record);
        if (!more && record.empty()) break;
        SplitFieldsInto(record, sep, delim, fields, code);
        out += reader.Unclosed() ? '!' : more ? '+' : '-';
        for (std::size_t i = 0; i < fields.size(); ++i) out += (i ? "\t" : "") + Escaped(fields[i]);
        out += '\n';
        if (!more) break;
    }
    return out;
}

struct Golden {
    const char* name;
    char sep;
    char delim;
    DoubleByteCode code;
};

// Each file read with several block sizes gives the expected records: multi-line values in
// every line-end style, doubled delimiters next to line breaks, a multi-line last field, a
// last record without a line end and a value of many lines; a stray delimiter and a field open
// to the end of the file make one unclosed record of the rest; Shift-JIS characters whose
// second byte is the separator or the delimiter stay whole.
TEST(RecordReaderGolden, Files) {
    const std::vector<Golden> files = {
        {"multiline", ',', '"', DoubleByteCode::None},     {"stray", ',', '"', DoubleByteCode::None},
        {"open_eof", ',', '"', DoubleByteCode::None},      {"limit", ',', '"', DoubleByteCode::None},
        {"sjis_pipe", '|', '"', DoubleByteCode::ShiftJis}, {"sjis_tab", '\t', '|', DoubleByteCode::ShiftJis},
    };
    for (const Golden& golden : files) {
        const std::string base = std::string(TABROOK_TEST_DATA) + "/csv/" + golden.name;
        const std::string expected = TempFolder::Read(base + ".expected");
        ASSERT_FALSE(expected.empty()) << golden.name;
        for (std::size_t block : {4, 7, 64, 65536}) {
            const std::string actual = ReadGolden(base + ".csv", golden.sep, golden.delim, golden.code, block);
            EXPECT_EQ(actual, expected) << golden.name << " with blocks of " << block;
        }
    }
}

// The same Shift-JIS files read as single-byte text are cut apart: the golden cases above
// depend on the character set.
TEST(RecordReaderGolden, ShiftJisFilesNeedTheCharacterSet) {
    for (const Golden& golden : {Golden{"sjis_pipe", '|', '"', DoubleByteCode::None},
                                 Golden{"sjis_tab", '\t', '|', DoubleByteCode::None}}) {
        const std::string base = std::string(TABROOK_TEST_DATA) + "/csv/" + golden.name;
        EXPECT_NE(ReadGolden(base + ".csv", golden.sep, golden.delim, golden.code, 16),
                  TempFolder::Read(base + ".expected"))
            << golden.name;
    }
}

struct Case {
    const char* what;
    std::string bytes;
    char delim;
    std::vector<Call> calls;
};

TEST(RecordReader, Cases) {
    const std::string manyLines = [] {
        std::string value = "\"";
        for (int i = 0; i < 12000; ++i) value += std::to_string(i) + "\r\n";
        return value + "\"";
    }();
    const std::vector<Case> cases = {
        {"no delimiter: lines as before", "a\"b\r\nc\n", '\0', {{"a\"b", true}, {"c", true}, {"", false}, {"", false}}},
        {"LF inside", "\"a\nb\"\n", '"', {{"\"a\nb\"", true}, {"", false}, {"", false}}},
        {"CR LF kept whole", "\"a\r\nb\"\r\nc", '"', {{"\"a\r\nb\"", true}, {"c", false}, {"", false}}},
        {"blank lines inside", "\"a\n\n\r\n\rb\"\n", '"', {{"\"a\n\n\r\n\rb\"", true}, {"", false}, {"", false}}},
        {"open to the end after a line end", "x\"\r\n\n", '"', {{"x\"", false, true}, {"", false}}},
        {"open to the end takes every line after it",
         "1,a\nx\"\ny\nz",
         '"',
         {{"1,a", true}, {"x\"\ny\nz", false, true}, {"", false}}},
        {"NUL drops the rest of its line only",
         "\"a\0\"\nb\"\n"s,
         '"',
         {{std::string("\"a\nb\""), true}, {"", false}, {"", false}}},
        {"NUL hides a closing delimiter", "x\"a\0\"\ny\"\n"s, '"', {{"x\"a\ny\"", true}, {"", false}, {"", false}}},
        {"byte-order mark", "\xEF\xBB\xBF\"a\nb\"", '"', {{"\"a\nb\"", false}, {"", false}}},
        {"a value of many lines and bytes stays whole",
         "1," + manyLines + ",2\n" + std::string(20000, 'y') + "\"\n\"\n",
         '"',
         {{"1," + manyLines + ",2", true}, {std::string(20000, 'y') + "\"\n\"", true}, {"", false}, {"", false}}},
    };
    for (const Case& c : cases) {
        for (std::size_t block : {4, 5, 9, 4096}) {
            EXPECT_EQ(ReadBytes(c.bytes, c.delim, DoubleByteCode::None, block), c.calls)
                << c.what << ", block " << block;
        }
        EXPECT_EQ(ReadByReference(c.bytes, c.delim, DoubleByteCode::None), c.calls) << c.what << " (reference)";
    }
}

// Random files made of the bytes that matter, read with random block sizes: the block reader
// gives what the byte rule gives on every call.
TEST(RecordReader, BlockReadsMatchTheByteRule) {
    std::mt19937 random(17);
    const char alphabet[] = {'a', '"', '"', '\r', '\n', '\n', ',', '\0', '|', '\x83', '\x7c', '\xEF', '\xBB', '\xBF'};
    const DoubleByteCode codes[] = {DoubleByteCode::None, DoubleByteCode::ShiftJis, DoubleByteCode::Big5};
    for (int round = 0; round < 5000; ++round) {
        std::string bytes;
        const int length = static_cast<int>(random() % 200);
        // Every other file has long lines, so that whole 16-byte runs without a line end occur.
        const bool longLines = round % 2 == 1;
        for (int i = 0; i < length; ++i) {
            bytes += longLines && random() % 8 != 0 ? "aaaaaa\"|\x83\x7c,"[random() % 11]
                                                    : alphabet[random() % sizeof alphabet];
        }
        const char delim = "\"|\0"[random() % 3];
        const DoubleByteCode code = codes[random() % 3];
        // Blocks from a few bytes (every edge case of a refill) to more than the 16 bytes
        // compared at a time.
        const std::size_t block = 4 + random() % 80;
        ASSERT_EQ(ReadBytes(bytes, delim, code, block), ReadByReference(bytes, delim, code))
            << ::testing::PrintToString(bytes) << " delim " << delim << " block " << block;
    }
}

std::vector<std::string> Split(const std::string& line, char sep, char delim, DoubleByteCode code) {
    std::vector<std::string> fields;
    SplitFieldsInto(line, sep, delim, fields, code);
    return fields;
}

// Random files read whole and with small bounds: the same records, a prefix of each, all fields.
TEST(RecordReader, PrefixReadsFindTheSameRecordsAndCountTheirFields) {
    std::mt19937 random(29);
    const char alphabet[] = {'a', 'a', '"', '\r', '\n', ',', '\0', '|', '\x83', '\x7c'};
    const DoubleByteCode codes[] = {DoubleByteCode::None, DoubleByteCode::ShiftJis, DoubleByteCode::Gb18030};
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(1 + random() % 120, 'a');
        for (char& c : bytes) c = alphabet[random() % sizeof alphabet];
        const char delim = "\"|"[random() % 2];
        const DoubleByteCode code = codes[random() % 3];
        const PrefixBounds bounds{random() % 12, 1 + random() % 4, 1 << 20, delim == '|' ? ',' : ",|"[random() % 2]};
        File file(fmemopen(bytes.data(), bytes.size(), "rb"), std::fclose);
        RecordReader reader(4 + random() % 20);
        reader.Start(file.get(), delim, code);
        RecordPrefix prefix;
        std::string kept;
        for (const Call& whole : ReadByReference(bytes, delim, code)) {
            SCOPED_TRACE(::testing::PrintToString(bytes) + delim + bounds.Separator);
            ASSERT_EQ(Call({whole.record, reader.ReadRecordPrefix(kept, bounds, prefix), reader.Unclosed()}), whole);
            ASSERT_EQ(kept, whole.record.substr(0, kept.size()));
            ASSERT_EQ(prefix.Cut, kept.size() < whole.record.size());
            const std::size_t keptFields = Split(kept, bounds.Separator, delim, code).size();
            ASSERT_LE(keptFields, bounds.KeptFields);
            const std::size_t fields = Split(whole.record, bounds.Separator, delim, code).size();
            ASSERT_EQ(prefix.Cut && keptFields > 0 ? keptFields + prefix.MoreFields : fields, fields);
        }
    }
}

// The splitter steps over the second byte of a double-byte character in the character sets
// where it can be an ASCII byte, and nowhere else.
TEST(SplitFieldsDoubleByte, Cases) {
    struct SplitCase {
        const char* what;
        std::string line;
        char sep;
        char delim;
        DoubleByteCode code;
        std::vector<std::string> fields;
    };
    const std::string po = "\x83\x7C";           // Shift-JIS katakana po: second byte |
    const std::string hyou = "\x95\x5C";         // Shift-JIS kanji hyou: second byte backslash
    const std::string big5 = "\xA5\x7C";         // a Big5 character with second byte |
    const std::string gbk = "\x81\x7C";          // a GBK character with second byte |
    const std::string gb4 = "\x81\x30\x81\x30";  // a four-byte GB18030 sequence
    const std::vector<SplitCase> cases = {
        {"pipe inside po", "1|" + po + "|x", '|', '"', DoubleByteCode::ShiftJis, {"1", po, "x"}},
        {"single-byte cuts po", "1|" + po + "|x", '|', '"', DoubleByteCode::None, {"1", "\x83", "", "x"}},
        {"backslash separator", hyou + "\\" + hyou, '\\', '\0', DoubleByteCode::ShiftJis, {hyou, hyou}},
        {"pipe delimiter", "|a" + po + "\tb|\tc", '\t', '|', DoubleByteCode::ShiftJis, {"a" + po + "\tb", "c"}},
        {"doubled delimiter after po", "|" + po + "|||", ',', '|', DoubleByteCode::ShiftJis, {po + "|"}},
        {"half-width katakana is one byte", "\xB1|\xB2", '|', '\0', DoubleByteCode::ShiftJis, {"\xB1", "\xB2"}},
        {"lead byte at the end", "a|\x83", '|', '\0', DoubleByteCode::ShiftJis, {"a", "\x83"}},
        {"lead byte before a separator that is no trail byte",
         "\x83,b",
         ',',
         '\0',
         DoubleByteCode::ShiftJis,
         {"\x83", "b"}},
        {"Big5", big5 + "|x", '|', '\0', DoubleByteCode::Big5, {big5, "x"}},
        {"GBK", gbk + "|x", '|', '\0', DoubleByteCode::Gbk, {gbk, "x"}},
        {"GB18030 four bytes with a digit separator", gb4 + "0x", '0', '\0', DoubleByteCode::Gb18030, {gb4, "x"}},
        {"UTF-8 unchanged", "\xE3\x83\x9D|x", '|', '\0', DoubleByteCode::None, {"\xE3\x83\x9D", "x"}},
        {"comma separator takes the fast road", po + "," + hyou, ',', '"', DoubleByteCode::ShiftJis, {po, hyou}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(Split(c.line, c.sep, c.delim, c.code), c.fields) << c.what;
        std::string joined;
        for (const std::string& field : c.fields) joined += field + '\n';
        EXPECT_EQ(SplitFields(c.line, c.sep, c.delim, c.code), joined) << c.what << " (plain form)";
    }
}

// What the export writes reads back value for value through the record reader and the
// splitter: line breaks of every kind inside values, and, with a Shift-JIS client and the
// delimiter |, characters whose second byte is | (not doubled, unlike a real |).
TEST(ExportLineRoundTrip, MultiLineAndDoubleByteValues) {
    const std::string po = "\x83\x7C";
    const std::vector<std::vector<std::string>> rows = {
        {"1", "a\r\nb", "c\nd"},
        {"2", "e\rf", "\r\n"},
        {"3", po + "|" + po, "|\n" + po + "|"},
        {"4", "", po},
    };
    const std::vector<bool> textLike = {false, true, true};
    ExportLine writer(",", '|', DoubleByteCode::ShiftJis);
    std::string file;
    for (const std::vector<std::string>& row : rows) writer.AppendRecord(file, row, textLike);
    std::string expectedThird = "3,|" + po + "||" + po + "|,|||\n" + po + "|||\r\n";
    EXPECT_NE(file.find(expectedThird), std::string::npos) << ::testing::PrintToString(file);

    std::FILE* in = fmemopen(file.data(), file.size(), "rb");
    ASSERT_NE(in, nullptr);
    RecordReader reader(7);
    reader.Start(in, '|', DoubleByteCode::ShiftJis);
    std::string record;
    std::vector<std::string> fields;
    std::size_t row = 0;
    while (reader.ReadRecord(record)) {
        ASSERT_LT(row, rows.size());
        SplitFieldsInto(record, ',', '|', fields, DoubleByteCode::ShiftJis);
        EXPECT_EQ(fields, rows[row]) << "row " << row;
        ++row;
    }
    std::fclose(in);
    EXPECT_EQ(row, rows.size());
}

TEST(DoubleByteCode, FromNamesIdsAndNlsLang) {
    EXPECT_EQ(DoubleByteCodeOfCharsetName("JA16SJIS"), DoubleByteCode::ShiftJis);
    EXPECT_EQ(DoubleByteCodeOfCharsetName("ja16sjistilde"), DoubleByteCode::ShiftJis);
    EXPECT_EQ(DoubleByteCodeOfCharsetName("ZHS16GBK"), DoubleByteCode::Gbk);
    EXPECT_EQ(DoubleByteCodeOfCharsetName("ZHT16MSWIN950"), DoubleByteCode::Big5);
    EXPECT_EQ(DoubleByteCodeOfCharsetName("AL32UTF8"), DoubleByteCode::None);
    EXPECT_EQ(DoubleByteCodeOfCharsetName("JA16EUC"), DoubleByteCode::None);
    EXPECT_EQ(DoubleByteCodeOfCharsetId(832), DoubleByteCode::ShiftJis);
    EXPECT_EQ(DoubleByteCodeOfCharsetId(838), DoubleByteCode::ShiftJis);
    EXPECT_EQ(DoubleByteCodeOfCharsetId(852), DoubleByteCode::Gbk);
    EXPECT_EQ(DoubleByteCodeOfCharsetId(865), DoubleByteCode::Big5);
    EXPECT_EQ(DoubleByteCodeOfCharsetId(873), DoubleByteCode::None);
    EXPECT_EQ(DoubleByteCodeOfNlsLang("JAPANESE_JAPAN.JA16SJIS"), DoubleByteCode::ShiftJis);
    EXPECT_EQ(DoubleByteCodeOfNlsLang("SIMPLIFIED CHINESE_CHINA.ZHS16GBK "), DoubleByteCode::Gbk);
    EXPECT_EQ(DoubleByteCodeOfNlsLang("AMERICAN_AMERICA.AL32UTF8"), DoubleByteCode::None);
    EXPECT_EQ(DoubleByteCodeOfNlsLang("JAPANESE_JAPAN"), DoubleByteCode::None);
    EXPECT_TRUE(CanBeInsideCharacter(DoubleByteCode::ShiftJis, '|'));
    EXPECT_TRUE(CanBeInsideCharacter(DoubleByteCode::ShiftJis, '\\'));
    EXPECT_FALSE(CanBeInsideCharacter(DoubleByteCode::ShiftJis, ','));
    EXPECT_FALSE(CanBeInsideCharacter(DoubleByteCode::ShiftJis, '\t'));
    EXPECT_FALSE(CanBeInsideCharacter(DoubleByteCode::ShiftJis, '"'));
    EXPECT_FALSE(CanBeInsideCharacter(DoubleByteCode::None, '|'));
    EXPECT_FALSE(CanBeInsideCharacter(DoubleByteCode::Big5, '\x90'));  // no Big5 trail byte
}

}  // namespace
}  // namespace tabrook
