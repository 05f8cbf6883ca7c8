#pragma once
// The loop of SplitFieldsInto, shared by the two translation units that instantiate it: the
// byte scan of the hot path (SplitFields.cpp) and the walk over whole double-byte characters
// (SplitFieldsWhole.cpp). Each unit holds one instantiation, so the compiler inlines the
// helpers into each loop as it would into a single function.

#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <string_view>
#include <vector>

#include "transfer/DoubleByte.h"

namespace tabrook::split_detail {

inline std::string& Slot(std::vector<std::string>& fields, std::size_t index) {
    if (index == fields.size()) fields.emplace_back();
    std::string& field = fields[index];
    field.clear();
    return field;
}

// The first byte at or after p that is a or b; end when there is none.
inline const char* FindEither(const char* p, const char* end, char a, char b) {
    if (a == b) {
        const void* hit = std::memchr(p, a, static_cast<std::size_t>(end - p));
        return hit ? static_cast<const char*>(hit) : end;
    }
#if defined(__SSE2__)
    // Sixteen bytes at a time: a field of an import is mostly ordinary bytes.
    const __m128i wantA = _mm_set1_epi8(a);
    const __m128i wantB = _mm_set1_epi8(b);
    for (; end - p >= 16; p += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto hits = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, wantA), _mm_cmpeq_epi8(chunk, wantB))));
        if (hits != 0) return p + __builtin_ctz(hits);
    }
#endif
    while (p < end && *p != a && *p != b) ++p;
    return p;
}

// The same, stepping over whole characters, so that a byte inside a character never matches.
inline const char* FindEitherWhole(const char* p, const char* end, char a, char b, DoubleByteCode code) {
    while (p < end && *p != a && *p != b) p += CharLength(code, p, end);
    return p;
}

// The splitter proper. Whole: walk whole characters of code (only needed when a byte looked
// for can stand inside a character); the other form is the plain byte scan of the hot path.
template <bool Whole>
inline void SplitInto(std::string_view line, char sep, char delim, std::vector<std::string>& fields,
                      DoubleByteCode code) {
    const bool hasDelim = delim != '\0';
    const bool hasSep = sep != '\0';
    std::size_t count = 0;
    bool quoted = false;
    bool anyOutput = false;
    std::string* field = &Slot(fields, 0);
    const char* p = line.data();
    const char* const end = p + line.size();
    while (p < end) {
        // Copy the run of ordinary bytes in one go: this is the hot path of an import.
        const char* q = end;
        if constexpr (Whole) {
            q = quoted ? FindEitherWhole(p, end, delim, delim, code)
                       : FindEitherWhole(p, end, hasSep ? sep : delim, hasDelim ? delim : sep, code);
        } else if (quoted) {
            q = FindEither(p, end, delim, delim);
        } else if (hasSep || hasDelim) {
            q = FindEither(p, end, hasSep ? sep : delim, hasDelim ? delim : sep);
        }
        if (q > p) {
            field->append(p, q);
            anyOutput = true;
        }
        p = q;
        if (p == end) break;
        if (hasDelim && *p == delim) {
            if (quoted && p + 1 < end && p[1] == delim) {
                *field += delim;
                anyOutput = true;
                p += 2;
            } else {
                quoted = !quoted;
                ++p;
            }
        } else {  // an unquoted separator ends the field
            anyOutput = true;
            field = &Slot(fields, ++count);
            ++p;
        }
    }
    fields.resize(anyOutput ? count + 1 : 0);
}

// The form that walks whole characters (SplitFieldsWhole.cpp).
void SplitIntoWhole(std::string_view line, char sep, char delim, std::vector<std::string>& fields, DoubleByteCode code);

}  // namespace tabrook::split_detail
