#include "transfer/TableFromFile.h"

#include <filesystem>
#include <vector>

#include "transfer/FileDecoder.h"
#include "transfer/LineBreaks.h"
#include "transfer/RecordReader.h"
#include "transfer/SafeFiles.h"
#include "transfer/SplitFields.h"
#include "transfer/TableInference.h"
#include "transfer/Tdm.h"
#include "transfer/TransferSettings.h"

namespace tabrook {

namespace {
constexpr int kRecordsPerProgress = 1000;
}

TableProposal ProposeTable(const std::string& csvFile, const std::string& table, const TransferSettings& settings,
                           const std::string& clientCharset, DoubleByteCode clientCode, const ScanProgress& progress) {
    TableProposal proposal;
    FilePtr file = OpenForReading(csvFile);
    if (!file) {
        proposal.Failure = "CSVファイルを開けません。";
        return proposal;
    }
    std::error_code sizeError;
    const long long total = static_cast<long long>(std::filesystem::file_size(csvFile, sizeError));
    FileDecoder decoder;
    proposal.Failure = decoder.Open(csvFile, settings.Encoding, clientCharset);
    if (!proposal.Failure.empty()) return proposal;
    const char sep = FirstByte(settings.Separator);
    const char delim = FirstByte(settings.Delimiter);
    RecordReader reader;
    reader.Start(file.get(), delim, decoder.RecordCode(clientCode), decoder.Stream(), decoder.StreamMark());
    TableInference inference(settings.DateFmt, settings.TimestampFmt);
    std::string record;
    std::string text;
    std::vector<std::string> fields;
    bool header = settings.WithHeader;
    for (int count = 1;; ++count) {
        const bool more = reader.ReadRecord(record);
        if (!more && record.empty()) break;
        if (reader.Unclosed()) break;  // the import refuses it: it proposes nothing
        if (decoder.Converts() && decoder.Decode(record, text)) record.swap(text);
        SplitFieldsInto(record, sep, delim, fields, clientCode);
        if (header) {
            inference.SetHeader(fields);
            header = false;
        } else {
            for (std::string& field : fields) RestoreLineBreaks(field, settings);
            inference.AddRecord(fields);
        }
        if (count % kRecordsPerProgress == 0 && progress && !progress(reader.BytesRead(), total)) {
            proposal.Cancelled = true;
            return proposal;
        }
        if (!more) break;
    }
    if (reader.ReadFailed()) {
        proposal.Failure = "CSVファイルを最後まで読み取れません。";
        return proposal;
    }
    if (progress) progress(total, total);
    proposal.Statement = inference.Statement(table);
    return proposal;
}

std::string CreateTable(Tdm& dm, const std::string& statement) {
    TOCI8Cur& cur = dm.OCIcur;
    cur.SetSQL(statement);
    cur.Binds.clear();
    if (!cur.Execute(0)) return cur.ErrMsg();
    return {};
}

}  // namespace tabrook
