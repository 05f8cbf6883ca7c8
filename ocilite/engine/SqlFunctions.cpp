#include "ocilite/engine/SqlFunctions.h"

#include <cstring>
#include <vector>

#include "ocilite/engine/Plan.h"

namespace ocilite {
namespace {

FunctionHost* Host(sqlite3_context* ctx) {
    return static_cast<FunctionHost*>(sqlite3_user_data(ctx));
}

void Fail(sqlite3_context* ctx, const OraError& e) {
    FunctionHost* h = Host(ctx);
    if (!h->pending) h->pending = e;
    sqlite3_result_error(ctx, e.what(), -1);
}

void Orf(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    auto* call = static_cast<const CompiledCall*>(sqlite3_value_pointer(argv[0], kCallPointer));
    if (!call) {
        sqlite3_result_error(ctx, "call site missing", -1);
        return;
    }
    try {
        const Nls& nls = *Host(ctx)->context.nls;
        std::vector<Value> args;
        args.reserve(static_cast<size_t>(argc - 1));
        for (int i = 1; i < argc; ++i)
            args.push_back(ReadStored(call->actual[static_cast<size_t>(i - 1)], argv[i], nls));
        Value r = call->Invoke(args, Host(ctx)->context);
        ResultStored(ctx, call->result, r);
    } catch (const OraError& e) {
        Fail(ctx, e);
    }
}

void Oput(sqlite3_context* ctx, int, sqlite3_value** argv) {
    auto* put = static_cast<const ColumnPut*>(sqlite3_value_pointer(argv[0], kPutPointer));
    if (!put) {
        sqlite3_result_error(ctx, "column target missing", -1);
        return;
    }
    try {
        const Nls& nls = *Host(ctx)->context.nls;
        Value v = ReadStored(put->source, argv[1], nls);
        v = Coerce(v, put->target.type, nls);
        v = FitColumn(std::move(v), put->target, put->update);
        ResultStored(ctx, put->target.type, v);
    } catch (const OraError& e) {
        Fail(ctx, e);
    }
}

void Onum(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    std::string key = OraNumber::FromInt64(sqlite3_value_int64(argv[0])).SortKey();
    sqlite3_result_blob(ctx, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

// oint(number key, mode): the row limit a ROWNUM condition allows.
// mode 0: ROWNUM <= n, 1: < n, 2: = n, 3: > n, 4: >= n, 5: <> n. -1 means no limit.
void Oint(sqlite3_context* ctx, int, sqlite3_value** argv) {
    try {
        if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
            sqlite3_result_int64(ctx, 0);
            return;
        }
        std::string key(static_cast<const char*>(sqlite3_value_blob(argv[0])),
                        static_cast<size_t>(sqlite3_value_bytes(argv[0])));
        OraNumber n = OraNumber::FromSortKey(key);
        int mode = sqlite3_value_int(argv[1]);
        int64_t limit = -1;
        OraNumber one = OraNumber::FromInt64(1);
        switch (mode) {
            case 0: limit = n.Sign() < 0 ? 0 : n.Floor().ToInt64(); break;
            case 1: limit = n.Compare(one) <= 0 ? 0 : n.Ceil().ToInt64() - 1; break;
            case 2: limit = n == one ? 1 : 0; break;
            case 3: limit = n.Compare(one) < 0 ? -1 : 0; break;
            case 4: limit = n.Compare(one) <= 0 ? -1 : 0; break;
            default:  // ROWNUM <> n: rows 1..n-1 pass, then the count sticks at n
                limit = n.IsInteger() && n.Compare(one) >= 0 ? n.ToInt64() - 1 : -1;
                break;
        }
        sqlite3_result_int64(ctx, limit);
    } catch (const OraError& e) {
        Fail(ctx, e);
    }
}

struct NumberAgg {
    bool init;
    int64_t count;
    OraNumber* sum;
};

void AggStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    auto* agg = static_cast<NumberAgg*>(sqlite3_aggregate_context(ctx, sizeof(NumberAgg)));
    if (!agg) return;
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
    try {
        OraNumber v;
        if (sqlite3_value_type(argv[0]) == SQLITE_BLOB) {
            std::string key(static_cast<const char*>(sqlite3_value_blob(argv[0])),
                            static_cast<size_t>(sqlite3_value_bytes(argv[0])));
            v = OraNumber::FromSortKey(key);
        } else {
            v = OraNumber::Parse(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
        }
        if (!agg->sum) agg->sum = new OraNumber();
        *agg->sum = agg->sum->Add(v);
        ++agg->count;
    } catch (const OraError& e) {
        Fail(ctx, e);
    }
}

void AggFinal(sqlite3_context* ctx, bool average) {
    auto* agg = static_cast<NumberAgg*>(sqlite3_aggregate_context(ctx, 0));
    if (!agg || !agg->sum) {
        sqlite3_result_null(ctx);
        return;
    }
    try {
        OraNumber r = *agg->sum;
        if (average) r = r.Div(OraNumber::FromInt64(agg->count));
        std::string key = r.SortKey();
        sqlite3_result_blob(ctx, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    } catch (const OraError& e) {
        Fail(ctx, e);
    }
    delete agg->sum;
    agg->sum = nullptr;
}
void SumFinal(sqlite3_context* ctx) {
    AggFinal(ctx, false);
}
void AvgFinal(sqlite3_context* ctx) {
    AggFinal(ctx, true);
}

void Orowid(sqlite3_context* ctx, int, sqlite3_value** argv) {
    std::string t = RowidText(sqlite3_value_int64(argv[0]), sqlite3_value_int64(argv[1]));
    sqlite3_result_text(ctx, t.c_str(), -1, SQLITE_TRANSIENT);
}

// ocolinfo(encoded type, field): 0 type name, 1 data length, 2 precision, 3 scale,
// 4 char length, 5 char used.
void Ocolinfo(sqlite3_context* ctx, int, sqlite3_value** argv) {
    SqlType t = DecodeType(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
    ColumnInfo info;
    Describe(t, info);
    switch (sqlite3_value_int(argv[1])) {
        case 0: {
            std::string name = TypeName(t);
            sqlite3_result_text(ctx, name.c_str(), -1, SQLITE_TRANSIENT);
            return;
        }
        case 1: sqlite3_result_int64(ctx, t.kind == TypeKind::Long ? 0 : info.dataSize); return;
        case 2:
            if (t.kind == TypeKind::Number && (t.precision > 0 || t.isFloat))
                sqlite3_result_int64(ctx, t.precision);
            else if (t.kind == TypeKind::IntervalYM || t.kind == TypeKind::IntervalDS)
                sqlite3_result_int64(ctx, t.precision);
            else
                sqlite3_result_null(ctx);
            return;
        case 3:
            if (t.kind == TypeKind::Number && t.isFloat)
                sqlite3_result_null(ctx);  // FLOAT(b) has no scale
            else if (t.kind == TypeKind::Number && t.scaleGiven)
                sqlite3_result_int64(ctx, t.scale);
            else if (t.kind == TypeKind::Number && t.precision > 0)
                sqlite3_result_int64(ctx, t.scale);
            else if (t.IsDatetime() && t.kind != TypeKind::Date)
                sqlite3_result_int64(ctx, t.scale);
            else if (t.kind == TypeKind::IntervalDS)
                sqlite3_result_int64(ctx, t.scale);
            else
                sqlite3_result_null(ctx);
            return;
        case 4:
            sqlite3_result_int64(ctx, (t.kind == TypeKind::Varchar || t.kind == TypeKind::Char) ? t.length : 0);
            return;
        default:
            if (t.kind == TypeKind::Varchar || t.kind == TypeKind::Char)
                sqlite3_result_text(ctx, t.charSemantics ? "C" : "B", -1, SQLITE_STATIC);
            else
                sqlite3_result_null(ctx);
            return;
    }
}

}  // namespace

std::string RowidText(int64_t objectId, int64_t rowid) {
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out(18, 'A');
    uint64_t o = static_cast<uint64_t>(objectId);
    for (int i = 5; i >= 0; --i, o >>= 6) out[static_cast<size_t>(i)] = digits[o & 63];
    uint64_t r = static_cast<uint64_t>(rowid);
    for (int i = 17; i >= 6; --i, r >>= 6) out[static_cast<size_t>(i)] = digits[r & 63];
    return out;
}

void RegisterSqlFunctions(sqlite3* db, FunctionHost* host) {
    sqlite3_create_function_v2(db, "orf", -1, SQLITE_UTF8, host, Orf, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "oput", 2, SQLITE_UTF8, host, Oput, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "onum", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, host, Onum, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "oint", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, host, Oint, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "osum", 1, SQLITE_UTF8, host, nullptr, AggStep, SumFinal, nullptr);
    sqlite3_create_function_v2(db, "oavg", 1, SQLITE_UTF8, host, nullptr, AggStep, AvgFinal, nullptr);
    sqlite3_create_function_v2(db, "orowid", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, host, Orowid, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "ocolinfo", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, host, Ocolinfo, nullptr, nullptr,
                               nullptr);
}

}  // namespace ocilite
