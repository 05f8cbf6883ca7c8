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

// ---- operators ----------------------------------------------------------------------------
SqlType ArithType(const std::vector<SqlType>& a, std::vector<SqlType>& w, char op) {
    const SqlType& l = a[0];
    const SqlType& r = a[1];
    auto isInterval = [](const SqlType& t) { return t.kind == TypeKind::IntervalYM || t.kind == TypeKind::IntervalDS; };
    if (l.IsDatetime() || r.IsDatetime()) {
        if (l.IsDatetime() && r.IsDatetime()) {
            if (op != '-') throw OraError(975, "date + date not allowed");
            if (l.kind == TypeKind::Date && r.kind == TypeKind::Date) return NumberType();
            return SqlType{TypeKind::IntervalDS, false, false, false, 0, false, 9, 9, false};
        }
        if (op == '*' || op == '/') throw OraError(932, "inconsistent datatypes: expected NUMBER got DATE");
        const SqlType& d = l.IsDatetime() ? l : r;
        const SqlType& other = l.IsDatetime() ? r : l;
        if (op == '-' && r.IsDatetime()) throw OraError(932, "inconsistent datatypes: expected DATE got NUMBER");
        if (!isInterval(other)) w[l.IsDatetime() ? 1 : 0] = NumberType();
        SqlType out = d;
        if (isInterval(other) && d.kind == TypeKind::Date && other.kind == TypeKind::IntervalDS) out = d;
        return out;
    }
    if (isInterval(l) && isInterval(r)) {
        if (op == '*' || op == '/') throw OraError(932, "inconsistent datatypes: expected NUMBER got INTERVAL");
        return l;
    }
    if (isInterval(l) || isInterval(r)) {
        // An interval adds to an interval or a datetime only, and scales by a number (either
        // side of *, the left of /). An untyped side (a bind, NULL) takes the type that fits.
        const bool left = isInterval(l);
        const SqlType& iv = left ? l : r;
        const SqlType& other = left ? r : l;
        const char* ivName = iv.kind == TypeKind::IntervalYM ? "INTERVAL YEAR TO MONTH" : "INTERVAL DAY TO SECOND";
        if (op == '+' || op == '-') {
            if (other.kind != TypeKind::Unknown)
                throw OraError(932, std::string("inconsistent datatypes: expected ") + (left ? ivName : "NUMBER") +
                                        " got " + (left ? "NUMBER" : ivName));
            w[left ? 1 : 0] = iv;
            return iv;
        }
        if (op == '/' && !left)
            throw OraError(932, std::string("inconsistent datatypes: expected NUMBER got ") + ivName);
        w[left ? 1 : 0] = NumberType();
        return iv;
    }
    if (l.kind == TypeKind::BinaryDouble || r.kind == TypeKind::BinaryDouble) {
        w[0] = w[1] = Want(TypeKind::BinaryDouble);
        return Want(TypeKind::BinaryDouble);
    }
    if (l.kind == TypeKind::BinaryFloat || r.kind == TypeKind::BinaryFloat) {
        w[0] = w[1] = Want(TypeKind::BinaryFloat);
        return Want(TypeKind::BinaryFloat);
    }
    w[0] = w[1] = NumberType();
    return NumberType();
}

Value Arith(std::vector<Value>& a, const CompiledCall& c, char op) {
    if (AnyNull(a)) return std::monostate{};
    Value& l = a[0];
    Value& r = a[1];
    if (auto* dl = std::get_if<DatetimeValue>(&l)) {
        if (auto* dr = std::get_if<DatetimeValue>(&r)) {
            if (c.result.kind == TypeKind::Number) return DaysBetween(dl->value, dr->value);
            return Difference(dl->value, dr->value);
        }
        DatetimeValue out = *dl;
        int sign = op == '-' ? -1 : 1;
        if (auto* n = std::get_if<OraNumber>(&r)) {
            // days, with the fraction as seconds (rounded to whole seconds for DATE)
            OraNumber secs = n->Mul(OraNumber::FromInt64(86400));
            int64_t whole = secs.Trunc(0).ToInt64();
            int64_t nanos =
                secs.Sub(OraNumber::FromInt64(whole)).Mul(OraNumber::FromInt64(1000000000)).Round(0).ToInt64();
            if (dl->kind == DatetimeKind::Date) {
                whole = secs.Round(0).ToInt64();
                nanos = 0;
            }
            out.value = AddNanos(out.value, sign * whole, sign * nanos);
            if (out.kind != DatetimeKind::Date && dl->kind != DatetimeKind::Date) {}
            return out;
        }
        if (auto* ym = std::get_if<OraIntervalYM>(&r)) {
            out.value = AddIntervalMonths(out.value, sign * ym->months);
            return out;
        }
        if (auto* ds = std::get_if<OraIntervalDS>(&r)) {
            out.value = AddNanos(out.value, sign * ds->seconds, sign * static_cast<int64_t>(ds->nanos));
            if (out.kind == DatetimeKind::Date) out.value.nanos = 0;
            return out;
        }
    }
    if (std::holds_alternative<DatetimeValue>(r) ||
        (op == '*' && (std::holds_alternative<OraIntervalYM>(r) || std::holds_alternative<OraIntervalDS>(r)) &&
         !std::holds_alternative<OraIntervalYM>(l) && !std::holds_alternative<OraIntervalDS>(l))) {
        std::swap(l, r);
        return Arith(a, c, op);
    }
    if (auto* yl = std::get_if<OraIntervalYM>(&l)) {
        if (auto* yr = std::get_if<OraIntervalYM>(&r))
            return OraIntervalYM{op == '-' ? yl->months - yr->months : yl->months + yr->months};
        OraNumber f = Num(r);
        OraNumber m = OraNumber::FromInt64(yl->months);
        m = op == '*' ? m.Mul(f) : m.Div(f);
        return OraIntervalYM{m.Trunc(0).ToInt64()};
    }
    if (auto* xl = std::get_if<OraIntervalDS>(&l)) {
        auto total = [](const OraIntervalDS& d) {
            return OraNumber::FromInt64(d.seconds)
                .Mul(OraNumber::FromInt64(1000000000))
                .Add(OraNumber::FromInt64(d.nanos));
        };
        OraNumber t = total(*xl);
        if (auto* xr = std::get_if<OraIntervalDS>(&r))
            t = op == '-' ? t.Sub(total(*xr)) : t.Add(total(*xr));
        else
            t = op == '*' ? t.Mul(Num(r)) : t.Div(Num(r));
        OraNumber billion = OraNumber::FromInt64(1000000000);
        OraIntervalDS out;
        out.seconds = t.Div(billion).Trunc(0).ToInt64();
        out.nanos = static_cast<int32_t>(t.Sub(OraNumber::FromInt64(out.seconds).Mul(billion)).Round(0).ToInt64());
        return out;
    }
    if (c.result.kind == TypeKind::BinaryDouble || c.result.kind == TypeKind::BinaryFloat) {
        double x = l.index() == 8 ? std::get<BinaryDoubleValue>(l).value : std::get<BinaryFloatValue>(l).value;
        double y = r.index() == 8 ? std::get<BinaryDoubleValue>(r).value : std::get<BinaryFloatValue>(r).value;
        double z = op == '+' ? x + y : op == '-' ? x - y : op == '*' ? x * y : x / y;
        if (c.result.kind == TypeKind::BinaryFloat) return BinaryFloatValue{static_cast<float>(z)};
        return BinaryDoubleValue{z};
    }
    const OraNumber& x = Num(l);
    const OraNumber& y = Num(r);
    switch (op) {
        case '+': return x.Add(y);
        case '-': return x.Sub(y);
        case '*': return x.Mul(y);
        default: return x.Div(y);
    }
}

SqlType AddType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    return ArithType(a, w, '+');
}
SqlType SubType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    return ArithType(a, w, '-');
}
SqlType MulType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    return ArithType(a, w, '*');
}
SqlType DivType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    return ArithType(a, w, '/');
}
Value AddEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    return Arith(a, c, '+');
}
Value SubEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    return Arith(a, c, '-');
}
Value MulEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    return Arith(a, c, '*');
}
Value DivEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    return Arith(a, c, '/');
}

SqlType NegType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    if (a[0].kind == TypeKind::IntervalYM || a[0].kind == TypeKind::IntervalDS || a[0].kind == TypeKind::BinaryDouble ||
        a[0].kind == TypeKind::BinaryFloat)
        return a[0];
    w[0] = NumberType();
    return NumberType();
}
Value NegEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    Value& v = a[0];
    if (IsNull(v)) return v;
    if (auto* n = std::get_if<OraNumber>(&v)) return n->Neg();
    if (auto* y = std::get_if<OraIntervalYM>(&v)) return OraIntervalYM{-y->months};
    if (auto* d = std::get_if<OraIntervalDS>(&v)) {
        OraIntervalDS r = *d;
        r.seconds = -r.seconds;
        r.nanos = -r.nanos;
        return r;
    }
    if (auto* f = std::get_if<BinaryDoubleValue>(&v)) return BinaryDoubleValue{-f->value};
    if (auto* f = std::get_if<BinaryFloatValue>(&v)) return BinaryFloatValue{-f->value};
    return v;
}

// ---- numeric functions ----------------------------------------------------------------------
SqlType NumArgs(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    for (size_t i = 0; i < a.size(); ++i) w[i] = NumberType();
    return NumberType();
}
Value AbsEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    return IsNull(a[0]) ? a[0] : Value(Num(a[0]).Abs());
}
Value CeilEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    return IsNull(a[0]) ? a[0] : Value(Num(a[0]).Ceil());
}
Value FloorEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    return IsNull(a[0]) ? a[0] : Value(Num(a[0]).Floor());
}
Value SignEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    return IsNull(a[0]) ? a[0] : Value(OraNumber::FromInt64(Num(a[0]).Sign()));
}
Value ModEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    return AnyNull(a) ? Value() : Value(Num(a[0]).Mod(Num(a[1])));
}
Value PowerEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    return AnyNull(a) ? Value() : Value(Num(a[0]).Power(Num(a[1])));
}
Value SqrtEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    return IsNull(a[0]) ? a[0] : Value(Num(a[0]).Sqrt());
}

SqlType RoundType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    if (a[0].IsDatetime()) {
        if (a.size() > 1) w[1] = TextType();
        return SqlType::Of(TypeKind::Date);
    }
    return NumArgs(a, w);
}
Value RoundEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    bool round = std::strcmp(c.fn->name, "ROUND") == 0;
    if (auto* d = std::get_if<DatetimeValue>(&a[0])) {
        OraTimestamp t = d->value;
        if (t.hasZone && d->kind != DatetimeKind::TimestampTz) t.hasZone = false;
        t = TruncDate(t, a.size() > 1 ? Str(a[1]) : "DD", round);
        t.hasZone = false;
        return DatetimeValue{DatetimeKind::Date, t};
    }
    int places = a.size() > 1 ? static_cast<int>(IntArg(a[1])) : 0;
    return round ? Num(a[0]).Round(places) : Num(a[0]).Trunc(places);
}

const FunctionDef kFunctions[] = {
    {"+", 2, 2, AddType, AddEval},         {"-", 2, 2, SubType, SubEval},         {"*", 2, 2, MulType, MulEval},
    {"/", 2, 2, DivType, DivEval},         {"$NEG", 1, 1, NegType, NegEval},      {"ABS", 1, 1, NumArgs, AbsEval},
    {"CEIL", 1, 1, NumArgs, CeilEval},     {"FLOOR", 1, 1, NumArgs, FloorEval},   {"SIGN", 1, 1, NumArgs, SignEval},
    {"MOD", 2, 2, NumArgs, ModEval},       {"POWER", 2, 2, NumArgs, PowerEval},   {"SQRT", 1, 1, NumArgs, SqrtEval},
    {"ROUND", 1, 2, RoundType, RoundEval}, {"TRUNC", 1, 2, RoundType, RoundEval},
};

}  // namespace

std::span<const FunctionDef> ArithmeticFunctions() {
    return kFunctions;
}

}  // namespace ocilite::fn
