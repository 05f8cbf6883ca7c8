#include "transfer/Tdm.h"

#include "transfer/PreRunChecks.h"

namespace tabrook {

Tdm::Tdm() {
    OCIcur.SetParent(&OCI);
    OCI8Lob.SetParent(&OCI);
    OCI8File.SetParent(&OCI);
    OCIcur.OnNeedLob = [this](DataAttr& column, sb4 arg, TOCI8Lob*& lob) { return OCIcurNeedLob(column, arg, lob); };
}

Tdm::~Tdm() {
    OCI.DisConnect();
}

bool Tdm::OCIcurNeedLob(DataAttr& column, sb4 /*arg*/, TOCI8Lob*& lob) {
    lob = &OCI8Lob;
    if (column.DataType != 114) return true;
    // Every LOB column of a query is defined into the one component: a BFILE locator there
    // would receive the CLOB/BLOB values too and the fetch would fail. A BFILE beside them
    // gets a component of its own.
    for (std::size_t i = 0; i < OCIcur.Columns.size(); ++i) {
        const int type = OCIcur.Columns[i].DataType;
        if (type == 112 || type == 113 || type == kTypeNClob) {
            lob = &OCI8File;
            break;
        }
    }
    return true;
}

bool Tdm::CheckDateFormat(const std::string& format) {
    return tabrook::CheckDateFormat(OCI, format);
}

bool Tdm::CheckTimestampFormat(const std::string& format) {
    return tabrook::CheckTimestampFormat(OCI, format);
}

}  // namespace tabrook
