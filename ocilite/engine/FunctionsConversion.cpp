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

SqlType TranslateCharType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[0] = TextType(false);
    SqlType t = a[0].IsText() ? a[0] : TextType(false);
    if (t.kind == TypeKind::Char) t.kind = TypeKind::Varchar;
    if (t.national) {
        // national characters need up to 4 bytes each in the database character set
        t.charSemantics = false;
        t.length = std::min(4000, t.length * 4);
    }
    t.national = false;
    t.literal = false;
    return t;
}
SqlType TranslateNcharType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[0] = TextType(true);
    SqlType t = a[0].IsText() ? a[0] : TextType(true);
    if (t.kind == TypeKind::Char) t.kind = TypeKind::Varchar;
    t.national = true;
    t.charSemantics = true;
    t.literal = false;
    if (t.length <= 0 || t.length > 2000) t.length = 2000;
    return t;
}
Value Identity(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (auto* t = std::get_if<TextValue>(&a[0])) t->national = c.result.national;
    return a[0];
}

// ---- conversion functions ---------------------------------------------------------------
template <TypeKind K>
SqlType ToDatetimeType(const std::vector<SqlType>&, std::vector<SqlType>& w) {
    for (auto& x : w) x = TextType();
    SqlType t = SqlType::Of(K);
    if (K != TypeKind::Date) t.scale = 9;
    return t;
}
template <TypeKind K>
Value ToDatetimeEval(std::vector<Value>& a, const CompiledCall& c, FnState& st, const EvalContext& cx) {
    if (IsNull(a[0])) return std::monostate{};
    DatetimeKind kind = DatetimeKindOf(K);
    if (a.size() < 2) return Coerce(a[0], c.result, *cx.nls);
    if (IsNull(a[1])) return std::monostate{};
    const DatetimeFormat& f = CachedFormat(st, Str(a[1]), FormatUse::Parse, kind);
    return DatetimeValue{kind, Parse(Str(a[0]), f, kind, CachedNow(st, cx))};
}

SqlType ToCharType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    if (a.size() > 1) w[1] = TextType();
    if (a.size() > 2) w[2] = TextType();
    if (a[0].IsText()) {
        SqlType t = a[0];
        t.national = false;
        if (t.kind == TypeKind::Char) t.kind = TypeKind::Varchar;
        t.literal = false;
        return t;
    }
    if (a[0].kind == TypeKind::Unknown) w[0] = TextType();
    return SqlType::Text(a[0].IsDatetime() ? 75 : 64);
}
Value ToCharEval(std::vector<Value>& a, const CompiledCall& c, FnState& st, const EvalContext& cx) {
    if (IsNull(a[0])) return std::monostate{};
    if (a.size() < 2) {
        // without a model the text follows the value's type: its fractional second precision
        // and an interval's leading precision
        const SqlType& t = c.actual[0];
        if (auto* d = std::get_if<DatetimeValue>(&a[0]); d && d->kind != DatetimeKind::Date) {
            int fs = t.IsDatetime() && t.kind != TypeKind::Date && t.scale >= 0 ? std::min(t.scale, 9) : 6;
            const DatetimeFormat& f =
                d->kind == DatetimeKind::TimestampTz ? cx.nls->timestampTzFormat : cx.nls->timestampFormat;
            return TextOrNull(Render(d->value, f, fs));
        }
        if (auto* y = std::get_if<OraIntervalYM>(&a[0]); y && t.kind == TypeKind::IntervalYM) {
            int lead = t.precision > 0 ? t.precision : 2;
            return TextOrNull(y->ToText(std::max(lead, IntervalDigits(y->months / 12))));
        }
        if (auto* d = std::get_if<OraIntervalDS>(&a[0]); d && t.kind == TypeKind::IntervalDS) {
            int lead = t.precision > 0 ? t.precision : 2;
            int fs = t.scale >= 0 ? std::min(t.scale, 9) : 6;
            return TextOrNull(d->ToText(std::max(lead, IntervalDigits(d->Days())), fs));
        }
        std::string s = ValueToText(a[0], *cx.nls);
        return TextOrNull(std::move(s));
    }
    if (IsNull(a[1])) return std::monostate{};
    if (auto* d = std::get_if<DatetimeValue>(&a[0])) {
        int fs = c.actual[0].kind == TypeKind::Date ? 0 : std::clamp(c.actual[0].scale, 0, 9);
        const DatetimeFormat& f = CachedFormat(st, Str(a[1]), FormatUse::Render, d->kind);
        return TextOrNull(Render(d->value, f, fs));
    }
    if (auto* n = std::get_if<OraNumber>(&a[0])) return TextOrNull(n->Format(Str(a[1])));
    if (auto* f = std::get_if<BinaryDoubleValue>(&a[0]))
        return TextOrNull(OraNumber::FromDouble(f->value).Format(Str(a[1])));
    if (auto* f = std::get_if<BinaryFloatValue>(&a[0]))
        return TextOrNull(OraNumber::FromDouble(f->value).Format(Str(a[1])));
    if (std::holds_alternative<TextValue>(a[0])) return a[0];
    return TextOrNull(ValueToText(a[0], *cx.nls));
}

SqlType ToNumberType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    if (!a[0].IsNumeric()) w[0] = TextType();
    for (size_t i = 1; i < a.size(); ++i) w[i] = TextType();
    return NumberType();
}
Value ToNumberEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return std::monostate{};
    if (auto* n = std::get_if<OraNumber>(&a[0])) return *n;
    if (auto* f = std::get_if<BinaryDoubleValue>(&a[0])) return OraNumber::FromDouble(f->value);
    if (auto* f = std::get_if<BinaryFloatValue>(&a[0])) return OraNumber::FromDouble(f->value);
    if (a.size() > 1) {
        if (IsNull(a[1])) return std::monostate{};
        return OraNumber::ParseWithFormat(Str(a[0]), Str(a[1]));
    }
    return OraNumber::Parse(Str(a[0]));
}

SqlType ToYmType(const std::vector<SqlType>&, std::vector<SqlType>& w) {
    w[0] = TextType();
    SqlType t = SqlType::Of(TypeKind::IntervalYM);
    t.precision = 9;
    return t;
}
Value ToYmEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return std::monostate{};
    return OraIntervalYM::Parse(Str(a[0]));
}
SqlType ToDsType(const std::vector<SqlType>&, std::vector<SqlType>& w) {
    w[0] = TextType();
    SqlType t = SqlType::Of(TypeKind::IntervalDS);
    t.precision = 9;
    t.scale = 9;
    return t;
}
Value ToDsEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return std::monostate{};
    return OraIntervalDS::Parse(Str(a[0]));
}

SqlType HexToRawType(const std::vector<SqlType>&, std::vector<SqlType>& w) {
    w[0] = TextType();
    SqlType t = SqlType::Of(TypeKind::Raw);
    t.length = 2000;
    return t;
}
Value HexToRawEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext& cx) {
    return Coerce(a[0], c.result, *cx.nls);
}
SqlType RawToHexType(const std::vector<SqlType>&, std::vector<SqlType>& w) {
    w[0] = Want(TypeKind::Raw);
    return TextType();
}
Value RawToHexEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext& cx) {
    return TextOrNull(ValueToText(a[0], *cx.nls));
}

// ---- LOB constructors -------------------------------------------------------------------
SqlType EmptyClobType(const std::vector<SqlType>&, std::vector<SqlType>&) {
    return SqlType::Of(TypeKind::Clob);
}
Value EmptyClobEval(std::vector<Value>&, const CompiledCall&, FnState&, const EvalContext&) {
    return LobRefValue{112, false, {}};
}
SqlType EmptyBlobType(const std::vector<SqlType>&, std::vector<SqlType>&) {
    return SqlType::Of(TypeKind::Blob);
}
Value EmptyBlobEval(std::vector<Value>&, const CompiledCall&, FnState&, const EvalContext&) {
    return LobRefValue{113, false, {}};
}
SqlType ToClobType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[0] = TextType(a[0].national);
    SqlType t = SqlType::Of(TypeKind::Clob);
    t.national = a[0].national;
    return t;
}
Value ToClobEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return std::monostate{};
    return LobRefValue{112, c.result.national, Str(a[0])};
}
SqlType BfileNameType(const std::vector<SqlType>&, std::vector<SqlType>& w) {
    w[0] = TextType();
    w[1] = TextType();
    return SqlType::Of(TypeKind::Bfile);
}
// A BFILE value carries the directory name and the file name, joined by a NUL byte.
Value BfileNameEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    std::string ref = Str(a[0]);
    ref += '\0';
    ref += Str(a[1]);
    return LobRefValue{114, false, std::move(ref)};
}

// CAST(x AS type): the wanted type is set by the translator in `result`.
SqlType CastType(const std::vector<SqlType>& a, std::vector<SqlType>&) {
    return a[0];
}
Value CastEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext& cx) {
    Value v = Coerce(a[0], c.result, *cx.nls);
    if (IsNull(v)) return v;
    ColumnTarget t;
    t.type = c.result;
    if (c.result.kind == TypeKind::Varchar || c.result.kind == TypeKind::Char || c.result.kind == TypeKind::Raw) {
        const std::string& s = c.result.kind == TypeKind::Raw ? std::get<RawValue>(v).bytes : Str(v);
        size_t len = c.result.charSemantics ? Utf8Length(s) : s.size();
        if (len > static_cast<size_t>(c.result.length)) throw OraError(25137, "Data value out of range");
    }
    return FitColumn(std::move(v), t, false);
}

const FunctionDef kFunctions[] = {
    {"$TRANSLATE_CHAR", 1, 1, TranslateCharType, Identity},
    {"$TRANSLATE_NCHAR", 1, 1, TranslateNcharType, Identity},
    {"TO_NCHAR", 1, 1, TranslateNcharType, Identity},
    {"$CAST", 1, 1, CastType, CastEval},
    {"$CONVERT", 1, 1, CastType, Identity},
    {"TO_DATE", 1, 3, ToDatetimeType<TypeKind::Date>, ToDatetimeEval<TypeKind::Date>},
    {"TO_TIMESTAMP", 1, 3, ToDatetimeType<TypeKind::Timestamp>, ToDatetimeEval<TypeKind::Timestamp>},
    {"TO_TIMESTAMP_TZ", 1, 3, ToDatetimeType<TypeKind::TimestampTz>, ToDatetimeEval<TypeKind::TimestampTz>},
    {"TO_CHAR", 1, 3, ToCharType, ToCharEval},
    {"TO_NUMBER", 1, 3, ToNumberType, ToNumberEval},
    {"TO_YMINTERVAL", 1, 1, ToYmType, ToYmEval},
    {"TO_DSINTERVAL", 1, 1, ToDsType, ToDsEval},
    {"HEXTORAW", 1, 1, HexToRawType, HexToRawEval},
    {"EMPTY_CLOB", 0, 0, EmptyClobType, EmptyClobEval},
    {"EMPTY_BLOB", 0, 0, EmptyBlobType, EmptyBlobEval},
    {"TO_CLOB", 1, 1, ToClobType, ToClobEval},
    {"BFILENAME", 2, 2, BfileNameType, BfileNameEval},
    {"RAWTOHEX", 1, 1, RawToHexType, RawToHexEval},
};

}  // namespace

std::span<const FunctionDef> ConversionFunctions() {
    return kFunctions;
}

}  // namespace ocilite::fn
