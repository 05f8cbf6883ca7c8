#pragma once
// Oracle's SQL functions and operators evaluated on Values: the same code serves expressions
// that SQLite evaluates (through one registered dispatcher function) and the INSERT values the
// engine computes itself. Each function states its result type from its argument types and
// the types it wants its arguments converted to.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ocilite/engine/SqlType.h"
#include "ocilite/engine/Value.h"
#include "ocilite/engine/ValueCodec.h"

namespace ocilite {

struct EvalContext {
    const Nls* nls = nullptr;
    std::string user;
};

// Per call site cache: a format model compiled once for a constant format text.
struct FnState {
    std::string formatText;
    int formatKind = -1;
    std::optional<DatetimeFormat> format;
    // The current time for missing datetime fields, read from the clock at most once a
    // second (the import converts millions of values with one call site).
    OraTimestamp now;
    int64_t nowReadAt = -1;
};

struct FunctionDef;
using FnTypeRule = SqlType (*)(const std::vector<SqlType>& actual, std::vector<SqlType>& wanted);
using FnEval = Value (*)(std::vector<Value>& args, const struct CompiledCall& call, FnState& state,
                         const EvalContext& cx);

struct FunctionDef {
    const char* name;
    int minArgs;
    int maxArgs;
    FnTypeRule type;
    FnEval eval;
};

// Looks a function or operator up ("+", "-", "*", "/", "||", "NEG", "CAST", "TRANSLATE_CHAR",
// "TRANSLATE_NCHAR" are operators); null when Oracle has no such function here.
const FunctionDef* FindFunction(std::string_view name);

// A resolved call: the function, the types its arguments have and want, its result type.
struct CompiledCall {
    const FunctionDef* fn = nullptr;
    std::vector<SqlType> actual;
    std::vector<SqlType> wanted;
    SqlType result;
    mutable FnState state;

    // Raises ORA-00909 for a wrong argument count and the type errors of the rule.
    static CompiledCall Resolve(const FunctionDef* fn, std::vector<SqlType> actual);
    // Converts the arguments to the wanted types and evaluates.
    Value Invoke(std::vector<Value>& args, const EvalContext& cx) const;
};

}  // namespace ocilite
