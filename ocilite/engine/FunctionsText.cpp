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

SqlType ConcatType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    bool national = false;
    for (auto& t : a) national = national || t.national;
    w[0] = w[1] = TextType(national);
    if (a[0].kind == TypeKind::Clob || a[1].kind == TypeKind::Clob) {
        SqlType t = SqlType::Of(TypeKind::Clob);
        t.national = national;
        return t;
    }
    int len = std::min(32767, (a[0].length > 0 ? a[0].length : 40) + (a[1].length > 0 ? a[1].length : 40));
    return SqlType::Text(len, national);
}
Value ConcatEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    std::string s;
    for (auto& v : a)
        if (!IsNull(v)) s += Str(v);
    return TextOrNull(std::move(s), c.result.national);
}

// ---- character functions ------------------------------------------------------------------
// Byte offset of the character at 0-based index i in UTF-8 text (s.size() when past the end).
size_t Utf8Offset(const std::string& s, size_t index) {
    size_t count = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (count == index) return i;
            ++count;
        }
    }
    return s.size();
}

SqlType TextResult(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    bool national = a[0].national;
    w[0] = TextType(national);
    for (size_t i = 1; i < a.size(); ++i) w[i] = NumberType();
    SqlType t = a[0].IsText() ? a[0] : TextType(national);
    if (t.kind == TypeKind::Char) t.kind = TypeKind::Varchar;
    if (t.length <= 0) t.length = 4000;
    t.literal = false;
    return t;
}
Value SubstrEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    const std::string& s = Str(a[0]);
    int64_t len = static_cast<int64_t>(Utf8Length(s));
    int64_t pos = IntArg(a[1]);
    if (pos == 0) pos = 1;
    if (pos < 0) pos = len + pos + 1;
    if (pos < 1 || pos > len) return std::monostate{};
    int64_t count = a.size() > 2 ? IntArg(a[2]) : len;
    if (count < 1) return std::monostate{};
    size_t from = Utf8Offset(s, static_cast<size_t>(pos - 1));
    size_t to = Utf8Offset(s, static_cast<size_t>(std::min(len, pos - 1 + count)));
    return TextOrNull(s.substr(from, to - from), c.result.national);
}
SqlType LengthType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[0] = TextType(a[0].national);
    return NumberType();
}
Value LengthEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return std::monostate{};
    bool bytes = std::strcmp(c.fn->name, "LENGTHB") == 0;
    return OraNumber::FromInt64(static_cast<int64_t>(bytes ? Str(a[0]).size() : Utf8Length(Str(a[0]))));
}
SqlType SameTextType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    for (size_t i = 0; i < w.size(); ++i) w[i] = TextType(a[0].national);
    SqlType t = a[0].IsText() ? a[0] : TextType(a[0].national);
    t.literal = false;
    return t;
}
Value CaseEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return a[0];
    std::string name = c.fn->name;
    TextCase how = name == "UPPER" ? TextCase::Upper : name == "LOWER" ? TextCase::Lower : TextCase::Initial;
    return TextValue{ChangeCase(Str(a[0]), how), c.result.national};
}
Value TrimEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    std::string set = a.size() > 1 ? Str(a[1]) : " ";
    if (std::strcmp(c.fn->name, "TRIM") == 0 && set.size() != 1 && a.size() > 1)
        throw OraError(30001, "trim set should have only one character");
    std::string s = Str(a[0]);
    std::string name = c.fn->name;
    if (name != "RTRIM") {
        size_t p = s.find_first_not_of(set);
        s = p == std::string::npos ? std::string() : s.substr(p);
    }
    if (name != "LTRIM") {
        size_t p = s.find_last_not_of(set);
        s = p == std::string::npos ? std::string() : s.substr(0, p + 1);
    }
    return TextOrNull(std::move(s), c.result.national);
}
SqlType PadType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[0] = TextType(a[0].national);
    w[1] = NumberType();
    if (a.size() > 2) w[2] = TextType(a[0].national);
    return TextType(a[0].national);
}
Value PadEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    std::string s = Str(a[0]);
    int64_t n = IntArg(a[1]);
    if (n <= 0) return std::monostate{};
    std::string pad = a.size() > 2 ? Str(a[2]) : " ";
    size_t len = Utf8Length(s);
    if (len >= static_cast<size_t>(n))
        return TextOrNull(s.substr(0, Utf8Offset(s, static_cast<size_t>(n))), c.result.national);
    std::string fill;
    size_t need = static_cast<size_t>(n) - len;
    while (Utf8Length(fill) < need) fill += pad;
    fill = fill.substr(0, Utf8Offset(fill, need));
    bool left = std::strcmp(c.fn->name, "LPAD") == 0;
    return TextOrNull(left ? fill + s : s + fill, c.result.national);
}
Value ReplaceEval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return std::monostate{};
    std::string s = Str(a[0]);
    if (IsNull(a[1])) return a[0];
    std::string from = Str(a[1]);
    std::string to = a.size() > 2 && !IsNull(a[2]) ? Str(a[2]) : std::string();
    std::string out;
    size_t p = 0;
    while (true) {
        size_t q = s.find(from, p);
        if (q == std::string::npos) break;
        out += s.substr(p, q - p) + to;
        p = q + from.size();
    }
    out += s.substr(p);
    return TextOrNull(std::move(out), c.result.national);
}
SqlType InstrType(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[0] = w[1] = TextType();
    for (size_t i = 2; i < a.size(); ++i) w[i] = NumberType();
    return NumberType();
}
Value InstrEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    const std::string& s = Str(a[0]);
    const std::string& sub = Str(a[1]);
    int64_t start = a.size() > 2 ? IntArg(a[2]) : 1;
    int64_t nth = a.size() > 3 ? IntArg(a[3]) : 1;
    // the occurrence must be positive (ORA-01428); a start of 0 finds nothing
    if (nth < 1) throw OraError(1428, "argument '" + std::to_string(nth) + "' is out of range");
    if (start == 0) return OraNumber::FromInt64(0);
    int64_t len = static_cast<int64_t>(Utf8Length(s));
    int64_t found = 0;
    if (start > 0) {
        for (int64_t i = start - 1; i < len; ++i) {
            size_t off = Utf8Offset(s, static_cast<size_t>(i));
            if (s.compare(off, sub.size(), sub) == 0 && ++found == nth) return OraNumber::FromInt64(i + 1);
        }
    } else {
        for (int64_t i = len + start; i >= 0; --i) {
            size_t off = Utf8Offset(s, static_cast<size_t>(i));
            if (s.compare(off, sub.size(), sub) == 0 && ++found == nth) return OraNumber::FromInt64(i + 1);
        }
    }
    return OraNumber::FromInt64(0);
}
SqlType ChrType(const std::vector<SqlType>&, std::vector<SqlType>& w) {
    w[0] = NumberType();
    return SqlType::Text(1);
}
Value ChrEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return a[0];
    int64_t code = IntArg(a[0]);
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char b = static_cast<char>((code >> shift) & 0xFF);
        if (b || !s.empty() || shift == 0) s += b;
    }
    return TextValue{s, false};
}
SqlType AsciiType(const std::vector<SqlType>&, std::vector<SqlType>& w) {
    w[0] = TextType();
    return NumberType();
}
Value AsciiEval(std::vector<Value>& a, const CompiledCall&, FnState&, const EvalContext&) {
    if (IsNull(a[0])) return a[0];
    return OraNumber::FromInt64(static_cast<unsigned char>(Str(a[0])[0]));
}
SqlType Translate3Type(const std::vector<SqlType>& a, std::vector<SqlType>& w) {
    w[0] = w[1] = w[2] = TextType(a[0].national);
    return TextType(a[0].national);
}
Value Translate3Eval(std::vector<Value>& a, const CompiledCall& c, FnState&, const EvalContext&) {
    if (AnyNull(a)) return std::monostate{};
    // byte-wise mapping; multi-byte characters are kept when not listed
    const std::string& s = Str(a[0]);
    const std::string& from = Str(a[1]);
    const std::string& to = Str(a[2]);
    std::string out;
    for (char ch : s) {
        size_t p = from.find(ch);
        if (p == std::string::npos)
            out += ch;
        else if (p < to.size())
            out += to[p];
    }
    return TextOrNull(std::move(out), c.result.national);
}

const FunctionDef kFunctions[] = {
    {"||", 2, 2, ConcatType, ConcatEval},
    {"CONCAT", 2, 2, ConcatType, ConcatEval},
    {"SUBSTR", 2, 3, TextResult, SubstrEval},
    {"LENGTH", 1, 1, LengthType, LengthEval},
    {"LENGTHB", 1, 1, LengthType, LengthEval},
    {"UPPER", 1, 1, SameTextType, CaseEval},
    {"LOWER", 1, 1, SameTextType, CaseEval},
    {"INITCAP", 1, 1, SameTextType, CaseEval},
    {"TRIM", 1, 2, SameTextType, TrimEval},
    {"LTRIM", 1, 2, SameTextType, TrimEval},
    {"RTRIM", 1, 2, SameTextType, TrimEval},
    {"LPAD", 2, 3, PadType, PadEval},
    {"RPAD", 2, 3, PadType, PadEval},
    {"REPLACE", 2, 3, SameTextType, ReplaceEval},
    {"TRANSLATE", 3, 3, Translate3Type, Translate3Eval},
    {"INSTR", 2, 4, InstrType, InstrEval},
    {"CHR", 1, 1, ChrType, ChrEval},
    {"ASCII", 1, 1, AsciiType, AsciiEval},
};

}  // namespace

std::span<const FunctionDef> TextFunctions() {
    return kFunctions;
}

}  // namespace ocilite::fn
