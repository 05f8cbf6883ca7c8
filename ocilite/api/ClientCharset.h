#pragma once
// The client character set, as Oracle's client takes it from NLS_LANG
// (LANGUAGE_TERRITORY.CHARSET; only the character set part matters here). Text crossing the C
// API is converted between it and the database character set (AL32UTF8): SQL statements and
// bound text on the way in, fetched text and column names on the way out. A character the
// target set cannot hold becomes that set's replacement character, as Oracle's client does.

#include <string>
#include <string_view>

#include "ociabi/OciTypes.h"

namespace ocilite::api {

struct ClientCharset {
    ub2 id = 873;                   // Oracle character set id (OCI_ATTR_ENV_CHARSET_ID)
    const char* name = "AL32UTF8";  // Oracle's name (OCINlsGetInfo OCI_NLS_CHARACTER_SET)
    const char* iconvName = "UTF-8";
    const char* replacement = "?";  // in the client set: what an unconvertible character becomes
    bool utf8 = true;               // no conversion needed
};

// Looks a character set up by Oracle name (case-insensitive); null when not supported.
const ClientCharset* FindClientCharset(std::string_view oracleName);
const ClientCharset* FindClientCharset(ub2 id);

// The character set named by NLS_LANG, read once per process. Without NLS_LANG (or without a
// character set part) the client speaks AL32UTF8, the database's own set. An unsupported name
// makes environment creation fail with ORA-12705, as Oracle's client does.
const ClientCharset& CurrentClientCharset();
bool ClientCharsetValid();

inline bool ClientIsUtf8() {
    return CurrentClientCharset().utf8;
}

// Converts client text to the database character set and back.
// Whether two character set names are the same, ASCII letters compared without case.
bool EqualNoCase(std::string_view a, std::string_view b);

std::string ToDatabaseText(std::string_view client);
std::string ToClientText(std::string_view utf8);
// Same for an explicit set (tests).
std::string ToDatabaseText(std::string_view client, const ClientCharset& cs);
std::string ToClientText(std::string_view utf8, const ClientCharset& cs);

}  // namespace ocilite::api
