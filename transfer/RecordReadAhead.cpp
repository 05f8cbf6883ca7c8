#include "transfer/RecordReadAhead.h"

#include <exception>

#include "transfer/FileDecoder.h"
#include "transfer/LineBreaks.h"
#include "transfer/RecordReader.h"
#include "transfer/SplitFields.h"

namespace tabrook {

RecordReadAhead::RecordReadAhead(std::FILE* file, RecordLayout layout)
    : layout_(std::move(layout)), thread_([this, file] { ReadAll(file); }) {}

RecordReadAhead::~RecordReadAhead() {
    queue_.Stop();
    thread_.join();
}

void RecordReadAhead::Prepare(PreparedRecord& record, int number) {
    record.Split = !record.Unclosed && !record.Text.empty() && !(layout_.SkipFirst && number == 1);
    record.Unconvertible = false;
    if (!record.Split) return;
    const std::string* text = &record.Text;
    if (layout_.Decoder != nullptr && layout_.Decoder->Converts()) {
        if (!layout_.Decoder->Decode(record.Text, decoded_)) {
            record.Split = false;
            record.Unconvertible = true;
            return;
        }
        text = &decoded_;
    }
    SplitFieldsInto(*text, layout_.Separator, layout_.Delimiter, record.Fields, layout_.Code);
    if (record.Fields.size() < layout_.FieldCount) record.Fields.resize(layout_.FieldCount);
    for (int k : layout_.RestoredFields)
        RestoreLineBreaks(record.Fields[static_cast<std::size_t>(k)], *layout_.Settings);
}

void RecordReadAhead::ReadAll(std::FILE* file) {
    try {
        RecordReader reader;
        FileDecoder* const decoder = layout_.Decoder;
        if (decoder == nullptr) {
            reader.Start(file, layout_.Delimiter, layout_.Code);
        } else {
            reader.Start(file, layout_.Delimiter, decoder->RecordCode(layout_.Code), decoder->Stream(), decoder->StreamMark());
        }
        int number = 0;
        bool end = false;
        while (!end) {
            // A chunk of huge records waits until the importing thread is done with the
            // chunks before it: reading ahead never holds more than a record or two of them.
            Chunk* chunk = queue_.Acquire(kChunkBytes);
            if (chunk == nullptr) return;  // the import stopped: nobody reads what follows
            chunk->Count = 0;
            std::size_t bytes = 0;
            while (chunk->Count < kChunkRecords && bytes < kChunkBytes) {
                if (chunk->Items.size() == chunk->Count) chunk->Items.emplace_back();
                PreparedRecord& record = chunk->Items[chunk->Count];
                const bool more = reader.ReadRecord(record.Text);
                if (!more && record.Text.empty()) {
                    end = true;
                    break;
                }
                record.Unclosed = reader.Unclosed();
                record.Last = !more;
                Prepare(record, ++number);
                bytes += record.Text.size();
                ++chunk->Count;
                // An unclosed record took the rest of the file.
                if (record.Unclosed || !more) {
                    end = true;
                    break;
                }
            }
            chunk->BytesRead = reader.BytesRead();
            if (end) failed_ = reader.ReadFailed();
            queue_.Publish(chunk, bytes);
        }
    } catch (const std::exception&) {
        // Out of memory for a record: the file was not read to its end, which fails the import.
        failed_ = true;
    }
    queue_.Finish();
}

PreparedRecord* RecordReadAhead::Next() {
    PreparedRecord* record = records_.Next();
    if (record != nullptr) bytesRead_ = records_.Current()->BytesRead;
    return record;
}

}  // namespace tabrook
