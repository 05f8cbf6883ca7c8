// Feeds arbitrary bytes as a CSV file: the block reader must give exactly what the byte rule
// gives on every call, and the fast splitter exactly what the plain splitter gives.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/transfer/ByteLineReader.h"
#include "transfer/LineReader.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first two bytes choose the separator/delimiter and the block size.
  const char sep = "\0,;\t|"[data[0] % 5];
  const char delim = "\0\"'"[(data[0] / 5) % 3];
  const std::size_t block = 4 + data[1] % 61;
  const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);

  std::FILE* file = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
  if (bytes.empty()) file = std::tmpfile();
  Check(file != nullptr);
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
    tabrook::SplitFieldsInto(line, sep, delim, fields);
    Check(Joined(fields) == tabrook::SplitFields(line, sep, delim));
  }
  std::fclose(file);
  // Lines with NUL bytes and line ends are never produced by the reader; split them too.
  tabrook::SplitFieldsInto(bytes, sep, delim, fields);
  Check(Joined(fields) == tabrook::SplitFields(bytes, sep, delim));
  return 0;
}
