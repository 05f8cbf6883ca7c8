#pragma once
// OCIInterval: an INTERVAL YEAR TO MONTH (OCI_DTYPE_INTERVAL_YM) or DAY TO SECOND
// (OCI_DTYPE_INTERVAL_DS) descriptor.

#include "ocilite/api/HandleBase.h"
#include "ocilite/types/OraInterval.h"

struct OCIInterval : ocilite::api::HandleBase {
    explicit OCIInterval(ub4 descriptorType) : HandleBase(descriptorType) {}
    ocilite::OraIntervalYM yearMonth{};
    ocilite::OraIntervalDS daySecond{};
    bool hasValue = false;
};
