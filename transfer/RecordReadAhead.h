#pragma once
// RecordReadAhead: the reading stage of an import. A thread of its own reads the CSV file's
// records, cuts each into fields and restores the line breaks of the fields that are sent,
// while the importing thread sends the rows before them to the database: reading, splitting
// and converting run on one core while the database works on the other, and a database round
// trip no longer stops the reading. The records reach the importing thread in file order, a
// chunk at a time, through a small fixed pool of chunks, so what is read ahead stays bounded
// (a few hundred records, or one record however long it is).
//
// The thread never touches the database session. The importing thread decides everything
// about a record (counts, batches, commits, questions, cancel) exactly as it did when it read
// the record itself; reading ahead changes when the bytes are read, nothing else.

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "transfer/DoubleByte.h"
#include "transfer/StageQueue.h"

namespace tabrook {

struct TransferSettings;
class FileDecoder;

// One record of the file, ready for the importing thread.
struct PreparedRecord {
    std::string Text;                 // the record exactly as read (for the error-record file)
    std::vector<std::string> Fields;  // its fields, when Split; reused from record to record
    bool Split = false;               // Fields hold the record's fields
    bool Last = false;                // the file ended right after it (no line end followed)
    bool Unclosed = false;            // a delimited field ran to the end of the file
    bool Unconvertible = false;       // not split: a character the client character set lacks
};

// How the records are cut.
struct RecordLayout {
    char Separator = '\0';
    char Delimiter = '\0';
    DoubleByteCode Code = DoubleByteCode::None;
    std::size_t FieldCount = 0;       // records with fewer fields are padded with empty ones
    std::vector<int> RestoredFields;  // the fields whose line breaks are restored (those sent)
    bool SkipFirst = false;           // the first record is a header line: read, not split
    const TransferSettings* Settings = nullptr;  // the line-break rules; outlives the reader
    // The file's encoding when it is not the client's: records are read in it and converted
    // before they are split (Text keeps the file's bytes). Outlives the reader; only its
    // reading side (Decode) is used on the reading thread.
    FileDecoder* Decoder = nullptr;
};

class RecordReadAhead {
public:
    // Starts reading file (opened, not owned; it must stay open until this object is gone).
    RecordReadAhead(std::FILE* file, RecordLayout layout);
    // Stops the reading thread wherever it is and waits for it.
    ~RecordReadAhead();
    RecordReadAhead(const RecordReadAhead&) = delete;
    RecordReadAhead& operator=(const RecordReadAhead&) = delete;

    // The next record, valid until the next call; nullptr after the last one. The caller may
    // swap the record's strings out (they come back to be overwritten).
    PreparedRecord* Next();
    // After Next answered nullptr: whether the file could not be read to its end.
    bool ReadFailed() const { return failed_.load(); }
    // Bytes of the file read up to the chunk of the record last handed out.
    long long BytesRead() const { return bytesRead_; }

private:
    struct Chunk {
        std::vector<PreparedRecord> Items;  // the first Count are in use
        std::size_t Count = 0;
        long long BytesRead = 0;
    };
    // Records per chunk, and the bytes after which a chunk is handed over even if not full
    // (and beyond which no new chunk is read until the importing thread gives chunks back).
    static constexpr std::size_t kChunkRecords = 256;
    static constexpr std::size_t kChunkBytes = 256 * 1024;
    static constexpr std::size_t kChunks = 4;

    void ReadAll(std::FILE* file);
    void Prepare(PreparedRecord& record, int number);

    const RecordLayout layout_;
    std::string decoded_;  // the record converted to the client character set (reading thread)
    StageQueue<Chunk> queue_{kChunks};
    StageItems<Chunk> records_{queue_};
    std::atomic<bool> failed_{false};
    long long bytesRead_ = 0;
    std::thread thread_;  // last: it starts once everything it uses is built
};

}  // namespace tabrook
