#pragma once
// Sends the rows of a batch one execute each through the cursor, whose statement is prepared
// and whose binds are set up, one per value of a row. A LOB field goes through its temporary
// LOB; a field that cannot become its LOB refuses the row with the reason. The values are
// swapped into the binds, not copied, so a field of hundreds of megabytes is held once here,
// and a giant bind text is let go after its execute.

#include <memory>
#include <string>
#include <vector>

#include "transfer/RowSender.h"

namespace tabrook {

class ImportLob;
class TOCI8Cur;

class CursorRowSender : public RowSender {
public:
    // lobs and names are per bind: its temporary LOB (or none) and its column's name.
    CursorRowSender(TOCI8Cur& cursor, const std::vector<std::unique_ptr<ImportLob>>& lobs,
                    const std::vector<const std::string*>& names)
        : cur_(cursor), lobs_(lobs), names_(names) {}

    bool Send(ImportBatch& batch, std::vector<RowOutcome>& outcomes) override;

private:
    TOCI8Cur& cur_;
    const std::vector<std::unique_ptr<ImportLob>>& lobs_;
    const std::vector<const std::string*>& names_;
};

}  // namespace tabrook
