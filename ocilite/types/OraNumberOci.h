#pragma once
// The OCI number services on raw 22-byte OCINumber buffers (byte 0 = length, then the
// varnum). The OCI layer wraps each in its exported C function, turning the OraError these
// throw into OCI_ERROR on the error handle. Results may alias operands, as in OCI.
//
// Errors are the client-side numbers OCI reports: ORA-22053 overflow, ORA-22055 bad sign
// flag, ORA-22056 division by zero, ORA-22057 bad integer length, ORA-22059 buffer too
// small, ORA-22060 invalid or uninitialized number, ORA-22061 invalid format text,
// ORA-22062 invalid input string, ORA-22063 negative value read as unsigned, ORA-22064
// invalid NLS parameter string, ORA-22065 number does not fit the format.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ocilite/types/OraNumber.h"

namespace ocilite::ocinumber {

constexpr unsigned kUnsigned = 0;  // OCI_NUMBER_UNSIGNED
constexpr unsigned kSigned = 2;    // OCI_NUMBER_SIGNED

void Abs(const uint8_t* number, uint8_t* result);
void Add(const uint8_t* a, const uint8_t* b, uint8_t* result);
void Assign(const uint8_t* from, uint8_t* to);
void Ceil(const uint8_t* number, uint8_t* result);
int Cmp(const uint8_t* a, const uint8_t* b);  // -1, 0, 1
void Div(const uint8_t* a, const uint8_t* b, uint8_t* result);
void Exp(const uint8_t* number, uint8_t* result);
void Floor(const uint8_t* number, uint8_t* result);
// inum points to a native integer of `length` bytes (1, 2, 4 or 8).
void FromInt(const void* inum, unsigned length, unsigned signFlag, uint8_t* number);
// rnum points to a float, double or long double of `length` bytes.
void FromReal(const void* rnum, unsigned length, uint8_t* number);
void IntPower(const uint8_t* base, int exponent, uint8_t* result);
bool IsZero(const uint8_t* number);
void Log(const uint8_t* base, const uint8_t* number, uint8_t* result);
void Mod(const uint8_t* a, const uint8_t* b, uint8_t* result);
void Mul(const uint8_t* a, const uint8_t* b, uint8_t* result);
void Round(const uint8_t* number, int decplace, uint8_t* result);
void SetZero(uint8_t* number);
void Sub(const uint8_t* a, const uint8_t* b, uint8_t* result);
// Truncates toward zero into an integer of `length` bytes.
void ToInt(const uint8_t* number, unsigned length, unsigned signFlag, void* rsl);
// Converts with at most FLT_DIG / DBL_DIG / LDBL_DIG significant digits.
void ToReal(const uint8_t* number, unsigned length, void* rsl);
// TO_CHAR with a model; nlsParams like "NLS_NUMERIC_CHARACTERS=',.' NLS_CURRENCY='EUR'"
// (empty: American defaults). Writes a NUL-terminated text and returns its length;
// bufSize counts the NUL.
size_t ToText(const uint8_t* number, std::string_view fmt, std::string_view nlsParams, char* buf, size_t bufSize);
void FromText(std::string_view text, std::string_view fmt, std::string_view nlsParams, uint8_t* number);
void Trunc(const uint8_t* number, int decplace, uint8_t* result);

}  // namespace ocilite::ocinumber
