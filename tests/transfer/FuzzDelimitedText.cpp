// Feeds arbitrary bytes as a CSV file: the block readers must give exactly what the byte rules
// give on every call (the line reader, and the record reader whose records go on over line
// breaks inside delimiters, with small limits so that the fall-back to one line is reached),
// and the fast splitter exactly what the plain splitter gives, in every double-byte scheme.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/transfer/ByteLineReader.h"
#include "tests/transfer/ByteRecordReader.h"
#include "transfer/LineReader.h"
#include "transfer/RecordReader.h"
#include "transfer/SplitFields.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

std::string Joined(const std::vector<std::string>& fields) {
    std::string out;
    for (const std::string& field : fields) out += field + '\n';
    return out;
}

std::FILE* Open(const std::string& bytes) {
    std::FILE* file = bytes.empty() ? std::tmpfile() : fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    Check(file != nullptr);
    return file;
}

constexpr tabrook::DoubleByteCode kCodes[] = {tabrook::DoubleByteCode::None, tabrook::DoubleByteCode::ShiftJis,
                                              tabrook::DoubleByteCode::Gbk,  tabrook::DoubleByteCode::Gb18030,
                                              tabrook::DoubleByteCode::Big5, tabrook::DoubleByteCode::Uhc};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    // The first three bytes choose the separator/delimiter, the block size and the character set.
    const char sep = "\0,;\t|\\"[data[0] % 6];
    const char delim = "\0\"'|\\"[(data[0] / 6) % 5];
    const std::size_t block = 4 + data[1] % 61;
    const tabrook::DoubleByteCode code = kCodes[data[2] % 6];
    const std::string bytes(reinterpret_cast<const char*>(data) + 3, size - 3);

    std::FILE* file = Open(bytes);
    tabrook::LineReader reader(block);
    reader.Start(file);
    tabrook::testing::ByteLineReader reference(bytes);
    std::string line, expected;
    std::vector<std::string> fields;
    for (int falses = 0; falses < 2;) {
        const bool result = reader.ReadLine(line);
        Check(result == reference.ReadLine(expected));
        Check(line == expected);
        falses = result ? 0 : falses + 1;
        tabrook::SplitFieldsInto(line, sep, delim, fields, code);
        Check(Joined(fields) == tabrook::SplitFields(line, sep, delim, code));
    }
    std::fclose(file);

    file = Open(bytes);
    tabrook::RecordReader records(block);
    records.Start(file, delim, code);
    tabrook::testing::ByteRecordReader recordReference(bytes, delim, code);
    for (int falses = 0; falses < 2;) {
        const bool result = records.ReadRecord(line);
        Check(result == recordReference.ReadRecord(expected));
        Check(line == expected);
        Check(records.Unclosed() == recordReference.Unclosed());
        falses = result ? 0 : falses + 1;
        tabrook::SplitFieldsInto(line, sep, delim, fields, code);
        Check(Joined(fields) == tabrook::SplitFields(line, sep, delim, code));
    }
    std::fclose(file);

    // The bounded reader of the preview finds the same records and keeps a prefix of each.
    file = Open(bytes);
    records.Start(file, delim, code);
    tabrook::testing::ByteRecordReader prefixReference(bytes, delim, code);
    const tabrook::PrefixBounds bounds{1 + data[1] % 17u, 1 + data[2] % 5u, 1LL << 40, sep};
    tabrook::RecordPrefix prefix;
    for (int falses = 0; falses < 2;) {
        const bool result = records.ReadRecordPrefix(line, bounds, prefix);
        Check(result == prefixReference.ReadRecord(expected));
        Check(expected.compare(0, line.size(), line) == 0);
        Check(prefix.Cut == (line.size() < expected.size()));
        Check(records.Unclosed() == prefixReference.Unclosed());
        falses = result ? 0 : falses + 1;
    }
    std::fclose(file);

    // Text with NUL bytes and line ends (records hold line ends); split it too.
    tabrook::SplitFieldsInto(bytes, sep, delim, fields, code);
    Check(Joined(fields) == tabrook::SplitFields(bytes, sep, delim, code));
    return 0;
}
