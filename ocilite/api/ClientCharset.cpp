#include "ocilite/api/ClientCharset.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

namespace ocilite::api {
namespace {

// JA16SJIS and JA16SJISTILDE both follow the Windows Shift-JIS table (NEC and IBM extensions
// included); JA16SJIS takes 0x8160 as WAVE DASH where the TILDE variant has FULLWIDTH TILDE.
const ClientCharset kCharsets[] = {
    {873, "AL32UTF8", "UTF-8", "\xEF\xBF\xBD", true},
    {871, "UTF8", "UTF-8", "\xEF\xBF\xBD", true},
    {832, "JA16SJIS", "CP932", "\x81\x48", false},
    {838, "JA16SJISTILDE", "CP932", "\x81\x48", false},
    {830, "JA16EUC", "EUC-JP", "\xA1\xA9", false},
    {852, "ZHS16GBK", "GBK", "\xA3\xBF", false},
    {178, "WE8MSWIN1252", "CP1252", "\xBF", false},
    {31, "WE8ISO8859P1", "ISO-8859-1", "\xBF", false},
    {1, "US7ASCII", "ASCII", "?", false},
};

constexpr std::string_view kWaveDash = "\xE3\x80\x9C";        // U+301C
constexpr std::string_view kFullwidthTilde = "\xEF\xBD\x9E";  // U+FF5E

void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
    for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
        s.replace(p, from.size(), to);
}

// Length of the UTF-8 sequence starting with `lead` (1 for a stray byte).
size_t Utf8Length(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

struct Converter {
    iconv_t cd = reinterpret_cast<iconv_t>(-1);
    ~Converter() {
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
};

// iconv descriptors are not thread-safe: each thread keeps its own, opened once per direction.
iconv_t Descriptor(const char* to, const char* from) {
    thread_local std::map<std::string, std::unique_ptr<Converter>> cache;
    std::string key = std::string(from) + ">" + to;
    auto& slot = cache[key];
    if (!slot) {
        slot = std::make_unique<Converter>();
        slot->cd = iconv_open(to, from);
    }
    return slot->cd;
}

// Converts with iconv; an input sequence that cannot be read or written is replaced by
// `replacement` and skipped (one character of UTF-8 input, one byte of other input).
std::string Convert(std::string_view in, const char* to, const char* from, bool fromUtf8,
                    std::string_view replacement) {
    iconv_t cd = Descriptor(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    out.reserve(in.size() * 2 + 8);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[4096];
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, sizeof buffer - dstLeft);
        if (rc != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL: a character that cannot be converted, or one cut short at the end
        size_t skip = fromUtf8 ? Utf8Length(static_cast<unsigned char>(*src)) : 1;
        if (skip > srcLeft) skip = srcLeft;
        src += skip;
        srcLeft -= skip;
        out.append(replacement);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // flush a stateful encoder's shift sequence
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer, sizeof buffer - dstLeft);
    return out;
}

struct Current {
    const ClientCharset* charset = &kCharsets[0];
    bool valid = true;
};

const Current& ReadNlsLang() {
    static const Current current = [] {
        Current c;
        const char* env = std::getenv("NLS_LANG");
        if (env == nullptr) return c;
        std::string_view value(env);
        size_t dot = value.rfind('.');
        if (dot == std::string_view::npos || dot + 1 == value.size()) return c;
        const ClientCharset* found = FindClientCharset(value.substr(dot + 1));
        if (found == nullptr)
            c.valid = false;
        else
            c.charset = found;
        return c;
    }();
    return current;
}

// Every supported set is a superset of ASCII: ASCII text needs no conversion.
bool IsAscii(std::string_view s) {
    const char* p = s.data();
    const char* const end = p + s.size();
    // Eight bytes at a time: any byte with its high bit set is outside ASCII.
    for (; end - p >= 8; p += 8) {
        uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if ((word & 0x8080808080808080ULL) != 0) return false;
    }
    for (; p < end; ++p)
        if (static_cast<unsigned char>(*p) >= 0x80) return false;
    return true;
}

}  // namespace

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

const ClientCharset* FindClientCharset(std::string_view oracleName) {
    for (const auto& cs : kCharsets)
        if (EqualNoCase(cs.name, oracleName)) return &cs;
    return nullptr;
}

const ClientCharset* FindClientCharset(ub2 id) {
    for (const auto& cs : kCharsets)
        if (cs.id == id) return &cs;
    return nullptr;
}

const ClientCharset& CurrentClientCharset() {
    return *ReadNlsLang().charset;
}
bool ClientCharsetValid() {
    return ReadNlsLang().valid;
}

std::string ToDatabaseText(std::string_view client, const ClientCharset& cs) {
    if (cs.utf8 || IsAscii(client)) return std::string(client);
    std::string out = Convert(client, "UTF-8", cs.iconvName, false, "\xEF\xBF\xBD");
    if (cs.id == 832) ReplaceAll(out, kFullwidthTilde, kWaveDash);
    return out;
}

std::string ToClientText(std::string_view utf8, const ClientCharset& cs) {
    if (cs.utf8 || IsAscii(utf8)) return std::string(utf8);
    if (cs.id == 832 && utf8.find(kWaveDash) != std::string_view::npos) {
        std::string s(utf8);
        ReplaceAll(s, kWaveDash, kFullwidthTilde);
        return Convert(s, cs.iconvName, "UTF-8", true, cs.replacement);
    }
    return Convert(utf8, cs.iconvName, "UTF-8", true, cs.replacement);
}

std::string ToDatabaseText(std::string_view client) {
    return ToDatabaseText(client, CurrentClientCharset());
}
std::string ToClientText(std::string_view utf8) {
    return ToClientText(utf8, CurrentClientCharset());
}

}  // namespace ocilite::api
