#include "transfer/Tdm.h"

#include "transfer/PreRunChecks.h"

namespace tabrook {

Tdm::Tdm() {
  OCIcur.SetParent(&OCI);
  OCI8Lob.SetParent(&OCI);
  OCIcur.OnNeedLob = [this](DataAttr& column, sb4 arg, TOCI8Lob*& lob) {
    return OCIcurNeedLob(column, arg, lob);
  };
}

Tdm::~Tdm() { OCI.DisConnect(); }

bool Tdm::OCIcurNeedLob(DataAttr& /*column*/, sb4 /*arg*/, TOCI8Lob*& lob) {
  lob = &OCI8Lob;
  return true;
}

bool Tdm::CheckDateFormat(const std::string& format) { return tabrook::CheckDateFormat(OCI, format); }

bool Tdm::CheckTimestampFormat(const std::string& format) {
  return tabrook::CheckTimestampFormat(OCI, format);
}

}  // namespace tabrook
