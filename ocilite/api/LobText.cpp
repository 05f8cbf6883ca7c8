#include "ocilite/api/LobText.h"

#include "ociabi/OciTypes.h"
#include "ocilite/api/ClientCharset.h"

namespace ocilite::api {
namespace {

bool Converted(const LobRefValue& lob) {
    return lob.lobType == SQLT_CLOB && !ClientIsUtf8();
}

}  // namespace

void ToClientLob(LobRefValue& lob) {
    if (Converted(lob)) lob.locator = ToClientText(lob.locator);
}

LobRefValue ToDatabaseLob(const LobRefValue& lob) {
    if (!Converted(lob)) return lob;
    return LobRefValue{lob.lobType, lob.national, ToDatabaseText(lob.locator)};
}

}  // namespace ocilite::api
