// The stub's entry points that do more than log: handles, logon, errors, describe, bind, define,
// fetch and a small number arithmetic over doubles (enough for NumberDigits and the masks).

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "ociabi/OciApi.h"
#include "tests/oci/stub/OciStubControl.h"
#include "tests/oci/stub/OciStubState.h"

namespace ocistub {

State& Get() {
    static State state;
    return state;
}

bool Forced(const std::string& name, int& status) {
    auto it = Get().forced.find(name);
    if (it == Get().forced.end()) return false;
    status = it->second;
    return true;
}

int Record(const char* name) {
    Get().calls.emplace_back(name);
    int status = 0;
    Forced(name, status);
    return status;
}

}  // namespace ocistub

using ocistub::Get;
using ocistub::Record;

namespace {

struct Param {
    std::size_t index;
};

// Every handle and descriptor the stub hands out; freeing the environment frees them all, as
// OCI frees an environment's children with it.
std::set<void*>& Live() {
    static std::set<void*> live;
    return live;
}

void* NewHandle(std::size_t size = 16) {
    void* h = std::calloc(1, size);
    Live().insert(h);
    return h;
}

void FreeHandle(void* h) {
    if (Live().erase(h) != 0) std::free(h);
}

void FreeAll() {
    for (void* h : Live()) std::free(h);
    Live().clear();
}

double NumberValue(const OCINumber* n) {
    double v = 0;
    std::memcpy(&v, n->OCINumberPart, sizeof v);
    return v;
}

void SetNumber(OCINumber* n, double v) {
    std::memset(n, 0, sizeof *n);
    std::memcpy(n->OCINumberPart, &v, sizeof v);
}

std::string joined;

}  // namespace

extern "C" {

void stub_reset() {
    Get() = ocistub::State{};
}
void stub_force(const char* name, int status) {
    Get().forced[name] = status;
}
void stub_set_error(int code, const char* text) {
    Get().errorCode = code;
    Get().errorText = text;
}
const char* stub_calls() {
    joined.clear();
    for (const auto& c : Get().calls) joined += c + "\n";
    return joined.c_str();
}
int stub_count(const char* name) {
    int n = 0;
    for (const auto& c : Get().calls) n += c == name;
    return n;
}
void stub_add_column(int type, int size, int precision, int scale, int form, const char* name) {
    ocistub::Column c;
    c.type = static_cast<ub2>(type);
    c.size = static_cast<ub2>(size);
    c.precision = static_cast<sb2>(precision);
    c.scale = static_cast<sb1>(scale);
    c.form = static_cast<ub1>(form);
    c.name = name;
    Get().columns.push_back(c);
}
void stub_set_rows(int rows) {
    Get().rowsLeft = rows;
}
void stub_set_stmt_type(int type) {
    Get().stmtType = static_cast<ub2>(type);
}
const char* stub_last_logon() {
    return Get().lastLogon.c_str();
}
const char* stub_binds() {
    joined.clear();
    for (const auto& b : Get().binds) joined += b + "\n";
    return joined.c_str();
}
const char* stub_defines() {
    joined.clear();
    for (const auto& d : Get().defines) {
        joined += std::to_string(d.position) + ":" + std::to_string(d.dty) + ":" + std::to_string(d.size) + "\n";
    }
    return joined.c_str();
}
int stub_last_iters() {
    return Get().lastIters;
}
const char* stub_last_prepared() {
    return Get().lastPrepared.c_str();
}
long stub_init_mode() {
    return Get().initMode;
}

sword OCIInitialize(ub4 mode, void*, void* (*)(void*, size_t), void* (*)(void*, void*, size_t),
                    void (*)(void*, void*)) {
    const int status = Record("OCIInitialize");
    Get().initMode = static_cast<long>(mode);
    return status;
}
void stub_set_char_size(int column, int chars) {
    Get().columns.at(static_cast<std::size_t>(column)).charSize = static_cast<ub2>(chars);
}
const char* stub_attr_sets() {
    joined.clear();
    for (ub4 a : Get().attrSets) joined += std::to_string(a) + "\n";
    return joined.c_str();
}
void stub_set_max_bytes(int bytes) {
    Get().maxBytesPerChar = bytes;
}
void stub_truncate(int position) {
    Get().truncatePosition = static_cast<ub4>(position);
}

sword OCIAttrSet(void*, ub4, void*, ub4, ub4 attrtype, OCIError*) {
    int status = Record("OCIAttrSet");
    ocistub::Forced("OCIAttrSet#" + std::to_string(attrtype), status);
    Get().attrSets.push_back(attrtype);
    return status;
}

// Not in the program's entry table: looked up by name, as a client may lack it.
sword OCINlsNumericInfoGet(void*, OCIError*, sb4* val, ub2 item) {
    if (Get().maxBytesPerChar <= 0 || item != OCI_NLS_CHARSET_MAXBYTESZ) return OCI_ERROR;
    *val = Get().maxBytesPerChar;
    return 0;
}

sword OCIEnvInit(OCIEnv** envp, ub4, size_t, void**) {
    const int status = Record("OCIEnvInit");
    if (status == 0) *envp = static_cast<OCIEnv*>(NewHandle());
    return status;
}

sword OCIHandleAlloc(const void*, void** hndlpp, const ub4, const size_t, void**) {
    const int status = Record("OCIHandleAlloc");
    if (status == 0) *hndlpp = NewHandle();
    return status;
}

sword OCIHandleFree(void* hndlp, const ub4 type) {
    const int status = Record("OCIHandleFree");
    if (status == 0) {
        if (type == OCI_HTYPE_ENV)
            FreeAll();
        else
            FreeHandle(hndlp);
    }
    return status;
}

sword OCILogoff(OCISvcCtx* svchp, OCIError*) {
    const int status = Record("OCILogoff");
    if (status == 0) FreeHandle(svchp);
    return status;
}

sword OCIDescriptorAlloc(const void*, void** descpp, const ub4, const size_t, void**) {
    const int status = Record("OCIDescriptorAlloc");
    if (status == 0) *descpp = NewHandle();
    return status;
}

sword OCIDescriptorFree(void* descp, const ub4 type) {
    const int status = Record(type == OCI_DTYPE_PARAM ? "OCIDescriptorFree(param)" : "OCIDescriptorFree");
    if (status == 0) FreeHandle(descp);
    return status;
}

sword OCILogon(OCIEnv*, OCIError*, OCISvcCtx** svchp, const OraText* username, ub4 uname_len, const OraText* password,
               ub4 passwd_len, const OraText* dbname, ub4 dbname_len) {
    const int status = Record("OCILogon");
    Get().lastLogon = std::string(reinterpret_cast<const char*>(username), uname_len) + "/" +
                      std::string(reinterpret_cast<const char*>(password), passwd_len) + "@" +
                      std::string(reinterpret_cast<const char*>(dbname), dbname_len);
    if (status == 0 || status == 1) *svchp = static_cast<OCISvcCtx*>(NewHandle());  // 1: logged on, warned
    return status;
}

sword OCIErrorGet(void*, ub4 recordno, OraText*, sb4* errcodep, OraText* bufp, ub4 bufsiz, ub4) {
    Record("OCIErrorGet");
    if (recordno != 1) return static_cast<sword>(OCI_NO_DATA);
    *errcodep = Get().errorCode;
    std::snprintf(reinterpret_cast<char*>(bufp), bufsiz, "%s", Get().errorText.c_str());
    return 0;
}

sword OCIStmtPrepare(OCIStmt*, OCIError*, const OraText* stmt, ub4 stmt_len, ub4, ub4) {
    const int status = Record("OCIStmtPrepare");
    Get().lastPrepared.assign(reinterpret_cast<const char*>(stmt), stmt_len);
    return status;
}

sword OCIStmtExecute(OCISvcCtx*, OCIStmt*, OCIError*, ub4 iters, ub4, const OCISnapshot*, OCISnapshot*, ub4) {
    const int status = Record("OCIStmtExecute");
    Get().lastIters = static_cast<int>(iters);
    return status;
}

sword OCIAttrGet(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep, ub4 attrtype, OCIError*) {
    int status = Record("OCIAttrGet");
    ocistub::Forced("OCIAttrGet#" + std::to_string(attrtype), status);
    if (status != 0) return status;
    auto put = [&](auto value) { std::memcpy(attributep, &value, sizeof value); };
    if (trghndltyp == OCI_HTYPE_STMT) {
        if (attrtype == OCI_ATTR_STMT_TYPE) put(static_cast<ub2>(Get().stmtType));
        if (attrtype == OCI_ATTR_PARAM_COUNT) put(static_cast<ub4>(Get().columns.size()));
        return 0;
    }
    const auto* param = static_cast<const Param*>(trgthndlp);
    const ocistub::Column& c = Get().columns.at(param->index);
    // The widths a select-list describe writes.
    switch (attrtype) {
        case OCI_ATTR_DATA_SIZE: put(static_cast<ub2>(c.size)); break;
        case OCI_ATTR_DATA_TYPE: put(static_cast<ub2>(c.type)); break;
        case OCI_ATTR_NAME:
            *static_cast<const char**>(attributep) = c.name.c_str();
            *sizep = static_cast<ub4>(c.name.size());
            break;
        case OCI_ATTR_PRECISION: put(static_cast<sb2>(c.precision)); break;
        case OCI_ATTR_SCALE: put(static_cast<sb1>(c.scale)); break;
        case OCI_ATTR_IS_NULL: put(static_cast<ub1>(c.nullable)); break;
        case OCI_ATTR_CHARSET_FORM: put(static_cast<ub1>(c.form)); break;
        case OCI_ATTR_CHARSET_ID: put(static_cast<ub2>(c.form == 2 ? 2000 : 873)); break;
        case OCI_ATTR_CHAR_SIZE:
            if (c.charSize == 0) return OCI_ERROR;
            put(c.charSize);
            break;
        default: break;
    }
    return 0;
}

sword OCIParamGet(const void*, ub4, OCIError*, void** parmdpp, ub4 pos) {
    const int status = Record("OCIParamGet");
    if (status != 0) return status;
    if (pos < 1 || pos > Get().columns.size()) {
        Get().errorCode = 24334;
        Get().errorText = "ORA-24334: no descriptor for this position\n";
        return OCI_ERROR;
    }
    auto* param = static_cast<Param*>(NewHandle(sizeof(Param)));
    param->index = pos - 1;
    *parmdpp = param;
    return 0;
}

sword OCIDefineByPos(OCIStmt*, OCIDefine** defnp, OCIError*, ub4 position, void* valuep, sb4 value_sz, ub2 dty,
                     void* indp, ub2*, ub2*, ub4) {
    const int status = Record("OCIDefineByPos");
    if (status != 0) return status;
    Get().defines.push_back({position, dty, value_sz, valuep, static_cast<sb2*>(indp)});
    static int defineHandle;
    *defnp = reinterpret_cast<OCIDefine*>(&defineHandle);
    return 0;
}

sword OCIBindByName(OCIStmt*, OCIBind** bindp, OCIError*, const OraText* placeholder, sb4 placeh_len, void* valuep,
                    sb4 value_sz, ub2 dty, void*, ub2*, ub2*, ub4, ub4*, ub4) {
    const int status = Record("OCIBindByName");
    std::string entry = std::string(reinterpret_cast<const char*>(placeholder), static_cast<std::size_t>(placeh_len)) +
                        ":" + std::to_string(dty) + ":" + std::to_string(value_sz) + ":" +
                        (*bindp == nullptr ? "first" : "chained");
    if (dty == SQLT_STR && value_sz > 0) entry += ":" + std::string(static_cast<const char*>(valuep));
    Get().binds.push_back(entry);
    static int bindHandle;
    if (status == 0) *bindp = reinterpret_cast<OCIBind*>(&bindHandle);
    return status;
}

sword OCIStmtFetch(OCIStmt*, OCIError*, ub4, ub2, ub4) {
    int status = Record("OCIStmtFetch");
    if (ocistub::Forced("OCIStmtFetch", status)) return status;
    if (Get().rowsLeft <= 0) return static_cast<sword>(OCI_NO_DATA);
    --Get().rowsLeft;
    for (const auto& d : Get().defines) {
        if (d.indicator != nullptr) *d.indicator = 0;
        if (d.dty == SQLT_STR && d.size > 0)
            std::snprintf(static_cast<char*>(d.value), static_cast<size_t>(d.size), "v%u", d.position);
        if (d.dty == SQLT_AFC && d.size > 0) {  // blank-padded to the whole buffer, as OCI does
            char* out = static_cast<char*>(d.value);
            const int n = std::snprintf(out, static_cast<size_t>(d.size), "v%u", d.position);
            std::memset(out + n, ' ', static_cast<size_t>(d.size - n));
        }
        if (d.dty == SQLT_VNU) SetNumber(static_cast<OCINumber*>(d.value), 12.5);
    }
    for (const auto& d : Get().defines) {
        if (d.position == Get().truncatePosition && d.indicator != nullptr) {
            *d.indicator = static_cast<sb2>(d.size + 10);  // the value's full length
            return 1;                                      // OCI_SUCCESS_WITH_INFO (ORA-01406)
        }
    }
    return 0;
}

// Number arithmetic over a double kept in the first bytes of the OCINumber.
sword OCINumberAbs(OCIError*, const OCINumber* number, OCINumber* result) {
    const int status = Record("OCINumberAbs");
    SetNumber(result, std::fabs(NumberValue(number)));
    return status;
}
sword OCINumberIsZero(OCIError*, const OCINumber* number, boolean* result) {
    const int status = Record("OCINumberIsZero");
    *result = NumberValue(number) == 0.0;
    return status;
}
sword OCINumberFromInt(OCIError*, const void* inum, uword inum_length, uword, OCINumber* number) {
    const int status = Record("OCINumberFromInt");
    sb4 v = 0;
    std::memcpy(&v, inum, inum_length < sizeof v ? inum_length : sizeof v);
    SetNumber(number, v);
    return status;
}
sword OCINumberFromReal(OCIError*, const void* rnum, uword, OCINumber* number) {
    const int status = Record("OCINumberFromReal");
    double v = 0;
    std::memcpy(&v, rnum, sizeof v);
    SetNumber(number, v);
    return status;
}
sword OCINumberLog(OCIError*, const OCINumber* base, const OCINumber* number, OCINumber* result) {
    const int status = Record("OCINumberLog");
    SetNumber(result, std::log(NumberValue(number)) / std::log(NumberValue(base)));
    return status;
}
sword OCINumberAdd(OCIError*, const OCINumber* a, const OCINumber* b, OCINumber* result) {
    const int status = Record("OCINumberAdd");
    SetNumber(result, NumberValue(a) + NumberValue(b));
    return status;
}
sword OCINumberFloor(OCIError*, const OCINumber* number, OCINumber* result) {
    const int status = Record("OCINumberFloor");
    SetNumber(result, std::floor(NumberValue(number)));
    return status;
}
sword OCINumberToInt(OCIError*, const OCINumber* number, uword, uword, void* rsl) {
    const int status = Record("OCINumberToInt");
    const sb4 v = static_cast<sb4>(NumberValue(number));
    std::memcpy(rsl, &v, sizeof v);
    return status;
}
sword OCINumberCmp(OCIError*, const OCINumber* a, const OCINumber* b, sword* result) {
    const int status = Record("OCINumberCmp");
    const double x = NumberValue(a), y = NumberValue(b);
    *result = x < y ? -1 : x > y ? 1 : 0;
    return status;
}
sword OCINumberToText(OCIError*, const OCINumber* number, const oratext* fmt, ub4 fmt_length, const oratext*, ub4,
                      ub4* buf_size, oratext* buf) {
    const int status = Record("OCINumberToText");
    if (status != 0) return status;
    const std::string mask(reinterpret_cast<const char*>(fmt), fmt_length);
    const int n = std::snprintf(reinterpret_cast<char*>(buf), *buf_size, "%g[%s]", NumberValue(number), mask.c_str());
    *buf_size = static_cast<ub4>(n);
    return 0;
}
sword OCIDateToText(OCIError*, const OCIDate*, const oratext* fmt, ub1 fmt_length, const oratext* lang, ub4 lang_length,
                    ub4* buf_size, oratext* buf) {
    const int status = Record("OCIDateToText");
    if (status != 0) return status;
    const int n = std::snprintf(reinterpret_cast<char*>(buf), *buf_size, "date[%.*s|%.*s]", fmt_length,
                                reinterpret_cast<const char*>(fmt), static_cast<int>(lang_length),
                                reinterpret_cast<const char*>(lang));
    *buf_size = static_cast<ub4>(n);
    return 0;
}
sword OCIDateTimeToText(void*, OCIError*, const OCIDateTime*, const OraText* fmt, ub1 fmt_length, ub1 fsprec,
                        const OraText*, size_t, ub4* buf_size, OraText* buf) {
    const int status = Record("OCIDateTimeToText");
    if (status != 0) return status;
    const int n = std::snprintf(reinterpret_cast<char*>(buf), *buf_size, "ts[%.*s|%u]", fmt_length,
                                reinterpret_cast<const char*>(fmt), fsprec);
    *buf_size = static_cast<ub4>(n);
    return 0;
}
sword OCIIntervalToText(void*, OCIError*, const OCIInterval*, ub1 lfprec, ub1 fsprec, OraText* buffer, size_t buflen,
                        size_t* resultlen) {
    const int status = Record("OCIIntervalToText");
    if (status != 0) return status;
    const int n = std::snprintf(reinterpret_cast<char*>(buffer), buflen, "iv[%u|%u]", lfprec, fsprec);
    *resultlen = static_cast<size_t>(n);
    return 0;
}

}  // extern "C"
