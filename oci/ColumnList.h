#pragma once
// The cursor's column records, in select-list order. Owns the records and frees the datetime
// and interval descriptors through the connection they were allocated from.

#include <memory>
#include <vector>

#include "oci/DataAttr.h"

namespace tabrook {

class TOCI8Ctrl;

class ColumnList {
public:
    ColumnList() = default;
    ~ColumnList() { Clear(); }
    ColumnList(const ColumnList&) = delete;
    ColumnList& operator=(const ColumnList&) = delete;

    void SetOwner(TOCI8Ctrl* owner) { owner_ = owner; }
    void Add(std::unique_ptr<DataAttr> column) { items_.push_back(std::move(column)); }
    // Frees every descriptor and record; the list ends empty.
    void Clear();

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    DataAttr& operator[](std::size_t i) { return *items_[i]; }
    const DataAttr& operator[](std::size_t i) const { return *items_[i]; }

private:
    TOCI8Ctrl* owner_ = nullptr;
    std::vector<std::unique_ptr<DataAttr>> items_;
};

}  // namespace tabrook
