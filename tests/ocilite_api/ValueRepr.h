#pragma once
// A readable one-line form of an engine value, for comparing what binds delivered.

#include <string>

#include "ocilite/engine/Value.h"

namespace ocitest {
std::string Repr(const ocilite::Value& v);
}
