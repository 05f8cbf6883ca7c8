#pragma once
// The character set in which the client hands text to Oracle, which is the character set of
// the CSV files it reads (they are taken byte for byte).

#include <string>

#include "transfer/DoubleByte.h"

namespace tabrook {

class TOCI8Func;

// NLS_LANG when it names a character set (it is what the client library itself follows);
// otherwise the character set id of the OCI environment when one exists; otherwise None.
DoubleByteCode ClientDoubleByteCode(TOCI8Func& oci);

// The Oracle name of that character set (upper case, such as "JA16SJIS"), found the same way;
// "AL32UTF8" when neither names one the program knows.
std::string ClientCharsetName(TOCI8Func& oci);

}  // namespace tabrook
