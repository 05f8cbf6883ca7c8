#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <map>

#include "ocilite/engine/FunctionsInternal.h"
#include "ocilite/engine/TextCase.h"
#include "ocilite/types/DatetimeNames.h"
#include "ocilite/types/OraError.h"

namespace ocilite::fn {
namespace {

// ---- NULL handling ----------------------------------------------------------------------
SqlType NvlType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    SqlType t = Common(a);
    for (auto& x : w) x = t;
    return t;
}
Value NvlEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    for (auto& v : a)
        if (!IsNull(v)) return v;
    return std::monostate{};
}
SqlType Nvl2Type(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    SqlType t = Common(a, 1);
    w[1] = w[2] = t;
    return t;
}
Value Nvl2Eval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    return IsNull(a[0]) ? a[2] : a[1];
}
SqlType NullIfType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[1] = a[0];
    return a[0];
}

int CompareValues(const Value& x, const Value& y) {
    if (x.index() != y.index()) return x.index() < y.index() ? -1 : 1;
    switch (x.index()) {
        case 1: {
            int c = Str(x).compare(Str(y));
            return c < 0 ? -1 : c > 0;
        }
        case 2: return Num(x).Compare(Num(y));
        case 3: return std::get<DatetimeValue>(x).value.Compare(std::get<DatetimeValue>(y).value);
        case 4: return std::get<OraIntervalYM>(x).Compare(std::get<OraIntervalYM>(y));
        case 5: return std::get<OraIntervalDS>(x).Compare(std::get<OraIntervalDS>(y));
        case 6: return std::get<RawValue>(x).bytes.compare(std::get<RawValue>(y).bytes);
        case 7:
            return (std::get<BinaryFloatValue>(x).value > std::get<BinaryFloatValue>(y).value) -
                   (std::get<BinaryFloatValue>(x).value < std::get<BinaryFloatValue>(y).value);
        case 8:
            return (std::get<BinaryDoubleValue>(x).value > std::get<BinaryDoubleValue>(y).value) -
                   (std::get<BinaryDoubleValue>(x).value < std::get<BinaryDoubleValue>(y).value);
        default: return 0;
    }
}

Value NullIfEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (!IsNull(a[0]) && !IsNull(a[1]) && CompareValues(a[0], a[1]) == 0) return std::monostate{};
    return a[0];
}

// DECODE(expr, search, result [, search, result]... [, default])
SqlType DecodeType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    SqlType t = Common(a, 2, 2);
    for (size_t i = 1; i + 1 < a.size(); i += 2) {
        w[i] = a[0].kind == TypeKind::Unknown ? Common(a, 1, 2) : a[0];
        w[i + 1] = t;
    }
    if (a.size() % 2 == 0) w.back() = t;
    w[0] = a[0].kind == TypeKind::Unknown ? Common(a, 1, 2) : a[0];
    return t;
}
Value DecodeEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    for (size_t i = 1; i + 1 < a.size(); i += 2) {
        bool match =
            (IsNull(a[0]) && IsNull(a[i])) || (!IsNull(a[0]) && !IsNull(a[i]) && CompareValues(a[0], a[i]) == 0);
        if (match) return a[i + 1];
    }
    if (a.size() % 2 == 0) return a.back();
    return std::monostate{};
}

SqlType GreatestType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    SqlType t = a[0].kind == TypeKind::Unknown ? Common(a) : a[0];
    if (t.kind == TypeKind::Char) t.kind = TypeKind::Varchar;
    for (auto& x : w) x = t;
    return t;
}
Value GreatestEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    bool least = std::strcmp(c.fn->name, "LEAST") == 0;
    size_t best = 0;
    for (size_t i = 1; i < a.size(); ++i) {
        int cmp = CompareValues(a[i], a[best]);
        if (least ? cmp < 0 : cmp > 0) best = i;
    }
    return a[best];
}

const FunctionDef kFunctions[] = {
    {"NVL", 2, 2, NvlType, NvlEval},
    {"COALESCE", 1, 255, NvlType, NvlEval},
    {"NVL2", 3, 3, Nvl2Type, Nvl2Eval},
    {"NULLIF", 2, 2, NullIfType, NullIfEval},
    {"DECODE", 3, 255, DecodeType, DecodeEval},
    {"GREATEST", 1, 255, GreatestType, GreatestEval},
    {"LEAST", 1, 255, GreatestType, GreatestEval},
};

}  // namespace

std::span<const FunctionDef> NullFunctions() {
    return kFunctions;
}

}  // namespace ocilite::fn
