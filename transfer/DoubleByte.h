#pragma once
// Character boundaries of the client's multibyte character sets. In Shift-JIS, GBK, Big5 and
// the Korean Windows code page the second byte of a double-byte character can be an ASCII
// byte such as | (0x7C) or \ (0x5C), so a reader that compares single bytes would take it for
// a separator or a delimiter and cut the character in two. UTF-8, EUC and the single-byte
// character sets never put an ASCII byte inside a character and need none of this.

#include <cstddef>
#include <string_view>

namespace tabrook {

enum class DoubleByteCode : unsigned char {
    None,      // single-byte, UTF-8, EUC: every ASCII byte is a character of its own
    ShiftJis,  // JA16SJIS and its variants (Windows code page 932)
    Gbk,       // ZHS16GBK (code page 936)
    Gb18030,   // ZHS32GB18030: GBK plus four-byte sequences whose second and fourth bytes are digits
    Big5,      // ZHT16BIG5, ZHT16MSWIN950, ZHT16HKSCS (code page 950)
    Uhc,       // KO16MSWIN949 (code page 949)
};

// Bytes taken by the character that starts at p (p < end): 1, or 2 for a lead byte followed by
// a valid trail byte, or 4 for a four-byte GB18030 sequence. A lead byte without a valid trail
// byte after it (broken text, or the end of the text) counts as one byte.
inline std::size_t CharLength(DoubleByteCode code, const char* p, const char* end) {
    const auto b = [](char c) { return static_cast<unsigned char>(c); };
    const unsigned char lead = b(*p);
    if (code == DoubleByteCode::None || lead < 0x81 || p + 1 >= end) return 1;
    const unsigned char trail = b(p[1]);
    switch (code) {
        case DoubleByteCode::ShiftJis:
            if (lead > 0x9F && (lead < 0xE0 || lead > 0xFC)) return 1;
            return (trail >= 0x40 && trail <= 0xFC && trail != 0x7F) ? 2 : 1;
        case DoubleByteCode::Gb18030:
            if (lead <= 0xFE && trail >= 0x30 && trail <= 0x39 && p + 3 < end && b(p[2]) >= 0x81 && b(p[2]) <= 0xFE &&
                b(p[3]) >= 0x30 && b(p[3]) <= 0x39) {
                return 4;
            }
            [[fallthrough]];
        case DoubleByteCode::Gbk:
            if (lead > 0xFE) return 1;
            return (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) ? 2 : 1;
        case DoubleByteCode::Big5:
            if (lead > 0xFE) return 1;
            return ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0xA1 && trail <= 0xFE)) ? 2 : 1;
        case DoubleByteCode::Uhc:
            if (lead > 0xFE) return 1;
            return ((trail >= 0x41 && trail <= 0x5A) || (trail >= 0x61 && trail <= 0x7A) || trail >= 0x81) &&
                           trail != 0xFF
                       ? 2
                       : 1;
        case DoubleByteCode::None: break;
    }
    return 1;
}

// Whether byte can stand inside a character (not at its start) in code: only then must a
// reader looking for that byte walk the text character by character.
inline bool CanBeInsideCharacter(DoubleByteCode code, char byte) {
    if (byte == '\0') return false;
    const char text[] = {'\x81', byte, '\x81', byte};
    const char* p = text;
    return CharLength(code, p, p + 4) > 1 || CharLength(code, p + 2, p + 4) > 1 ||
           (code == DoubleByteCode::Gb18030 && byte >= '0' && byte <= '9');
}

// The scheme of an Oracle character set name such as JA16SJISTILDE (any case); None for
// names that need no care (AL32UTF8, WE8MSWIN1252, JA16EUC, ...) and unknown names.
DoubleByteCode DoubleByteCodeOfCharsetName(std::string_view name);

// The scheme of an Oracle character set id (OCI_ATTR_ENV_CHARSET_ID, OCI_NLS_CHARSET_ID).
DoubleByteCode DoubleByteCodeOfCharsetId(unsigned id);

// The scheme named by an NLS_LANG value, language_territory.charset; None when it names no
// character set.
DoubleByteCode DoubleByteCodeOfNlsLang(std::string_view nlsLang);

}  // namespace tabrook
