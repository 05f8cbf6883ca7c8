#pragma once
// What OCINlsGetInfo answers: the engine's fixed locale, AMERICAN_AMERICA with the AL32UTF8
// database and AL16UTF16 national character sets.

#include <string_view>

#include "ociabi/OciTypes.h"

namespace ocilite::api {

inline constexpr ub2 kDatabaseCharsetId = 873;   // AL32UTF8
inline constexpr ub2 kNationalCharsetId = 2000;  // AL16UTF16

// Throws ORA-12705 style OraError for an item the locale does not define.
std::string_view NlsInfoText(ub2 item);

}  // namespace ocilite::api
