#pragma once
// ImportBatch: the rows an import has read but not yet sent, in file order. Per row it keeps
// the record's text exactly as read (for the error-record file), its record number, and the
// row's bind values
// (after line-break restoration), row after row in one flat list as array DML takes them. The
// strings are reused from batch to batch, so a steady import allocates nothing per row.

#include <cstddef>
#include <string>
#include <vector>

namespace tabrook {

class ImportBatch {
public:
    explicit ImportBatch(std::size_t bindCount = 0) : bindCount_(bindCount), maxLengths_(bindCount, 0) {}

    // Empties the batch and sets the number of values per row.
    void Reset(std::size_t bindCount);
    // Appends a row: the record's text and one value per bind, the field at the positions in
    // bound (fields must hold every position of bound). The texts are swapped in rather than
    // copied: record and those fields may come back holding texts of earlier rows, for the
    // caller to overwrite (the reader and the splitter clear what they fill), and the buffers
    // go on being reused.
    // whole: every text is swapped in whatever its size (a row that is sent on its own, so
    // that a giant record is held once).
    void Add(std::string& record, int recordNumber, std::vector<std::string>& fields, const std::vector<int>& bound,
             bool whole = false);
    void Clear() {
        rows_ = 0;
        maxLengths_.assign(bindCount_, 0);
    }
    // The bytes the batch's arrays take once the row of these fields is added: every row has an
    // element as wide as the longest value of its bind.
    std::size_t ArrayBytesWith(const std::vector<std::string>& fields, const std::vector<int>& bound) const;

    std::size_t Rows() const { return rows_; }
    bool Empty() const { return rows_ == 0; }
    std::size_t BindCount() const { return bindCount_; }
    const std::string& Record(std::size_t row) const { return records_[row]; }
    int RecordNumber(std::size_t row) const { return recordNumbers_[row]; }
    const std::string& Value(std::size_t row, std::size_t bind) const { return values_[row * bindCount_ + bind]; }
    // A value a sender may take over (swap out); the batch is cleared after it is sent.
    std::string& MutableValue(std::size_t row, std::size_t bind) { return values_[row * bindCount_ + bind]; }
    // The values of every row, row after row; only the first Rows() * BindCount() are in use.
    const std::vector<std::string>& Values() const { return values_; }

private:
    // Texts whose buffers are larger than this are copied into the batch, smaller ones swapped.
    static constexpr std::size_t kSwapCapacity = 64 * 1024;
    static void TakeOver(std::string& kept, std::string& given, bool whole);

    std::size_t bindCount_;
    std::size_t rows_ = 0;
    std::vector<std::string> records_;
    std::vector<int> recordNumbers_;
    std::vector<std::string> values_;
    std::vector<std::size_t> maxLengths_;  // per bind, the longest value of the batch
};

}  // namespace tabrook
