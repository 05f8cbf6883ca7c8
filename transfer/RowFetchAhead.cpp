#include "transfer/RowFetchAhead.h"

#include <exception>

#include "oci/TOCI8Cur.h"

namespace tabrook {

RowFetchAhead::RowFetchAhead(TOCI8Cur& cursor) : cursor_(cursor), thread_([this] { FetchAll(); }) {}

RowFetchAhead::~RowFetchAhead() {
    queue_.Stop();
    thread_.join();
}

void RowFetchAhead::FetchAll() {
    try {
        FetchChunks();
    } catch (const std::exception& e) {
        // Out of memory for a row: the export fails with the reason rather than ending early.
        failure_ = e.what();
    }
    queue_.Finish();
}

void RowFetchAhead::FetchChunks() {
    bool end = false;
    while (!end) {
        // Wide rows wait until the exporting thread is done with the chunks before them.
        Chunk* chunk = queue_.Acquire(kChunkBytes);
        if (chunk == nullptr) return;  // the export stopped
        chunk->Count = 0;
        std::size_t bytes = 0;
        while (chunk->Count < kChunkRows && bytes < kChunkBytes) {
            if (!cursor_.Fetch()) {
                end = true;
                break;
            }
            if (chunk->Items.size() == chunk->Count) chunk->Items.emplace_back();
            Row& row = chunk->Items[chunk->Count++];
            // The strings trade places: the cursor renders the next row into the buffers of an
            // earlier one, so a steady export allocates nothing per row.
            row.Values.resize(cursor_.Values.size());
            for (std::size_t i = 0; i < row.Values.size(); ++i) {
                row.Values[i].swap(cursor_.Values[i]);
                bytes += row.Values[i].size();
            }
            row.ConvertFailed = cursor_.ConvertFailed();
            if (row.ConvertFailed) {
                // The export ends at this row: nothing after it is fetched.
                row.Error = cursor_.ErrMsg();
                end = true;
                break;
            }
        }
        queue_.Publish(chunk, bytes);
    }
}

const std::vector<std::string>* RowFetchAhead::Next() {
    row_ = rows_.Next();
    return row_ != nullptr ? &row_->Values : nullptr;
}

}  // namespace tabrook
