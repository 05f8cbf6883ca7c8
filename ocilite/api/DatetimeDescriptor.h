#pragma once
// OCIDateTime: a DATE, TIMESTAMP, TIMESTAMP WITH TIME ZONE or WITH LOCAL TIME ZONE descriptor
// (the descriptor type tells which). Fetches write into it; binds and the text services read it.

#include "ocilite/api/HandleBase.h"
#include "ocilite/types/OraTimestamp.h"

struct OCIDateTime : ocilite::api::HandleBase {
    explicit OCIDateTime(ub4 descriptorType) : HandleBase(descriptorType) {}
    ocilite::OraTimestamp value{};
    bool hasValue = false;
    int fsPrecision = 9;  // fractional digits of the column the value came from
};
