// The OCINumber services, on the caller's 22-byte OCINumber structs.

#include <string_view>

#include "ocilite/api/OciCall.h"
#include "ocilite/api/OciExports.h"
#include "ocilite/types/OraNumberOci.h"

using namespace ocilite::api;
namespace num = ocilite::ocinumber;

namespace {

const uint8_t* In(const OCINumber* n) {
    if (n == nullptr) throw ocilite::OraError(22060, "argument [1] is an invalid or uninitialized number");
    return n->OCINumberPart;
}
uint8_t* Out(OCINumber* n) {
    if (n == nullptr) throw ocilite::OraError(22060, "argument [1] is an invalid or uninitialized number");
    return n->OCINumberPart;
}
template <class T>
T* OutPtr(T* p) {
    if (p == nullptr) throw ocilite::OraError(22060, "argument [1] is an invalid or uninitialized number");
    return p;
}

// Every number service reports on its error handle and refuses to run without one.
template <class F>
sword NumberCall(OCIError* err, F&& body) {
    Diagnostics* diagnostics = DiagnosticsOf(err);
    if (diagnostics == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        body();
        return OCI_SUCCESS;
    });
}

std::string_view Text(const oratext* p, ub4 len) {
    return p == nullptr ? std::string_view() : std::string_view(reinterpret_cast<const char*>(p), len);
}

}  // namespace

extern "C" {

sword OCINumberAbs(OCIError* err, const OCINumber* number, OCINumber* result) {
    return NumberCall(err, [&] { num::Abs(In(number), Out(result)); });
}
sword OCINumberAdd(OCIError* err, const OCINumber* number1, const OCINumber* number2, OCINumber* result) {
    return NumberCall(err, [&] { num::Add(In(number1), In(number2), Out(result)); });
}
sword OCINumberAssign(OCIError* err, const OCINumber* from, OCINumber* to) {
    return NumberCall(err, [&] { num::Assign(In(from), Out(to)); });
}
sword OCINumberCeil(OCIError* err, const OCINumber* number, OCINumber* result) {
    return NumberCall(err, [&] { num::Ceil(In(number), Out(result)); });
}
sword OCINumberCmp(OCIError* err, const OCINumber* number1, const OCINumber* number2, sword* result) {
    return NumberCall(err, [&] { *OutPtr(result) = num::Cmp(In(number1), In(number2)); });
}
sword OCINumberDiv(OCIError* err, const OCINumber* number1, const OCINumber* number2, OCINumber* result) {
    return NumberCall(err, [&] { num::Div(In(number1), In(number2), Out(result)); });
}
sword OCINumberExp(OCIError* err, const OCINumber* number, OCINumber* result) {
    return NumberCall(err, [&] { num::Exp(In(number), Out(result)); });
}
sword OCINumberFloor(OCIError* err, const OCINumber* number, OCINumber* result) {
    return NumberCall(err, [&] { num::Floor(In(number), Out(result)); });
}
sword OCINumberFromInt(OCIError* err, const void* inum, uword inum_length, uword inum_s_flag, OCINumber* number) {
    return NumberCall(err, [&] { num::FromInt(OutPtr(inum), inum_length, inum_s_flag, Out(number)); });
}
sword OCINumberFromReal(OCIError* err, const void* rnum, uword rnum_length, OCINumber* number) {
    return NumberCall(err, [&] { num::FromReal(OutPtr(rnum), rnum_length, Out(number)); });
}
sword OCINumberIntPower(OCIError* err, const OCINumber* base, const sword exp, OCINumber* result) {
    return NumberCall(err, [&] { num::IntPower(In(base), exp, Out(result)); });
}
sword OCINumberIsZero(OCIError* err, const OCINumber* number, boolean* result) {
    return NumberCall(err, [&] { *OutPtr(result) = num::IsZero(In(number)) ? 1 : 0; });
}
sword OCINumberLog(OCIError* err, const OCINumber* base, const OCINumber* number, OCINumber* result) {
    return NumberCall(err, [&] { num::Log(In(base), In(number), Out(result)); });
}
sword OCINumberMod(OCIError* err, const OCINumber* number1, const OCINumber* number2, OCINumber* result) {
    return NumberCall(err, [&] { num::Mod(In(number1), In(number2), Out(result)); });
}
sword OCINumberMul(OCIError* err, const OCINumber* number1, const OCINumber* number2, OCINumber* result) {
    return NumberCall(err, [&] { num::Mul(In(number1), In(number2), Out(result)); });
}
sword OCINumberRound(OCIError* err, const OCINumber* number, sword decplace, OCINumber* result) {
    return NumberCall(err, [&] { num::Round(In(number), decplace, Out(result)); });
}
void OCINumberSetZero(OCIError* err, OCINumber* num) {
    if (num != nullptr) num::SetZero(num->OCINumberPart);
}
sword OCINumberSub(OCIError* err, const OCINumber* number1, const OCINumber* number2, OCINumber* result) {
    return NumberCall(err, [&] { num::Sub(In(number1), In(number2), Out(result)); });
}
sword OCINumberToInt(OCIError* err, const OCINumber* number, uword rsl_length, uword rsl_flag, void* rsl) {
    return NumberCall(err, [&] { num::ToInt(In(number), rsl_length, rsl_flag, OutPtr(rsl)); });
}
sword OCINumberToReal(OCIError* err, const OCINumber* number, uword rsl_length, void* rsl) {
    return NumberCall(err, [&] { num::ToReal(In(number), rsl_length, OutPtr(rsl)); });
}
sword OCINumberToText(OCIError* err, const OCINumber* number, const oratext* fmt, ub4 fmt_length,
                      const oratext* nls_params, ub4 nls_p_length, ub4* buf_size, oratext* buf) {
    return NumberCall(err, [&] {
        OutPtr(buf_size);
        size_t len = num::ToText(In(number), Text(fmt, fmt_length), Text(nls_params, nls_p_length),
                                 reinterpret_cast<char*>(OutPtr(buf)), *buf_size);
        *buf_size = static_cast<ub4>(len);
    });
}
sword OCINumberTrunc(OCIError* err, const OCINumber* number, sword decplace, OCINumber* result) {
    return NumberCall(err, [&] { num::Trunc(In(number), decplace, Out(result)); });
}

}  // extern "C"
