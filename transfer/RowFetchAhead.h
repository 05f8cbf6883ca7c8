#pragma once
// RowFetchAhead: the fetching stage of an export. A thread of its own fetches the rows of an
// executed query and renders their values as text, while the exporting thread writes the
// rows before them to the file: the database and the file work at once, on both cores, and a
// database round trip no longer stops the writing. Rows reach the exporting thread in order,
// a chunk at a time, through a small fixed pool of chunks, so what is fetched ahead stays
// bounded.
//
// While it lives, the thread alone uses the cursor; the exporting thread touches it again
// only once Next has answered nullptr (the thread is then done with it) or this object is gone.
// LOB contents are read through the session row by row, so an export of LOB data does not
// fetch ahead.

#include <cstddef>
#include <string>
#include <thread>
#include <vector>

#include "transfer/StageQueue.h"

namespace tabrook {

class TOCI8Cur;

class RowFetchAhead {
public:
    explicit RowFetchAhead(TOCI8Cur& cursor);
    // Stops the fetching thread wherever it is and waits for it.
    ~RowFetchAhead();
    RowFetchAhead(const RowFetchAhead&) = delete;
    RowFetchAhead& operator=(const RowFetchAhead&) = delete;

    // The values of the next row, valid until the next call; nullptr after the last row (or
    // after a fetch that failed: the cursor's error code and message then tell which).
    const std::vector<std::string>* Next();
    // The row Next returned holds a value that could not be rendered; Error() says why. No
    // row follows it.
    bool ConvertFailed() const { return row_ != nullptr && row_->ConvertFailed; }
    const std::string& Error() const { return row_->Error; }
    // After Next answered nullptr: why the fetching thread gave up (empty: it did not).
    const std::string& Failure() const { return failure_; }

private:
    struct Row {
        std::vector<std::string> Values;
        bool ConvertFailed = false;
        std::string Error;
    };
    struct Chunk {
        std::vector<Row> Items;  // the first Count are in use
        std::size_t Count = 0;
    };
    static constexpr std::size_t kChunkRows = 256;
    static constexpr std::size_t kChunkBytes = 256 * 1024;
    static constexpr std::size_t kChunks = 4;

    void FetchAll();
    void FetchChunks();

    TOCI8Cur& cursor_;
    StageQueue<Chunk> queue_{kChunks};
    StageItems<Chunk> rows_{queue_};
    const Row* row_ = nullptr;
    std::string failure_;
    std::thread thread_;  // last: it starts once everything it uses is built
};

}  // namespace tabrook
