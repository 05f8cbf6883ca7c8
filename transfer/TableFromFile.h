#pragma once
// Reading a whole CSV file to propose the table it would fit (see TableInference): the file is
// read as the import reads it (its encoding, its records, its separator and delimiter), so the
// statement describes what the import will insert.

#include <functional>
#include <string>

#include "transfer/DoubleByte.h"

namespace tabrook {

struct TransferSettings;

struct TableProposal {
    std::string Statement;  // CREATE TABLE ...; empty when cancelled or failed
    std::string Failure;    // why the file could not be read
    bool Cancelled = false;
};

// Progress of the reading: bytes read so far and the file's size; false stops the reading.
using ScanProgress = std::function<bool(long long done, long long total)>;

TableProposal ProposeTable(const std::string& csvFile, const std::string& table, const TransferSettings& settings,
                           const std::string& clientCharset, DoubleByteCode clientCode, const ScanProgress& progress);

// Runs the statement that creates the table through the data module's cursor; the client's
// message when it fails, empty when the table was made.
class Tdm;
std::string CreateTable(Tdm& dm, const std::string& statement);

// What the log's job line says of a table made from its file.
inline constexpr char kTableCreatedNote[] = "テーブルをCSVファイルから作成しました。";

}  // namespace tabrook
