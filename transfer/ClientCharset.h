#pragma once
// The character set in which the client hands text to Oracle, which is the character set of
// the CSV files it reads (they are taken byte for byte).

#include "transfer/DoubleByte.h"

namespace tabrook {

class TOCI8Func;

// NLS_LANG when it names a character set (it is what the client library itself follows);
// otherwise the character set id of the OCI environment when one exists; otherwise None.
DoubleByteCode ClientDoubleByteCode(TOCI8Func& oci);

}  // namespace tabrook
