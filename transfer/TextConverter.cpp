#include "transfer/TextConverter.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace tabrook {

namespace {

constexpr std::size_t kChunk = 4096;
const auto kNoConversion = reinterpret_cast<iconv_t>(-1);

iconv_t Handle(void* cd) {
    return static_cast<iconv_t>(cd);
}

}  // namespace

TextConverter::TextConverter(const std::string& to, const std::string& from) : from_(from) {
    const iconv_t cd = iconv_open(to.c_str(), from.c_str());
    cd_ = cd == kNoConversion ? nullptr : cd;
}

TextConverter::~TextConverter() {
    if (cd_ != nullptr) iconv_close(Handle(cd_));
    if (measure_ != nullptr) iconv_close(Handle(measure_));
}

bool TextConverter::Ready() const {
    return cd_ != nullptr;
}

void TextConverter::Reset() {
    if (cd_ != nullptr) iconv(Handle(cd_), nullptr, nullptr, nullptr, nullptr);
}

TextConverter::Step TextConverter::ConvertSome(const char*& in, std::size_t& inLeft, char*& out,
                                               std::size_t& outLeft) {
    if (cd_ == nullptr) return Step::Invalid;
    char* source = const_cast<char*>(in);  // iconv's signature; it does not write the input
    const std::size_t done = iconv(Handle(cd_), &source, &inLeft, &out, &outLeft);
    in = source;
    if (done != static_cast<std::size_t>(-1)) return Step::Done;
    if (errno == E2BIG) return Step::OutputFull;
    if (errno == EINVAL) return Step::Incomplete;
    return Step::Invalid;
}

bool TextConverter::Convert(std::string_view in, std::string& out) {
    const char* p = in.data();
    std::size_t left = in.size();
    for (;;) {
        const std::size_t start = out.size();
        out.resize(start + left * 2 + 16);
        char* o = out.data() + start;
        std::size_t room = out.size() - start;
        const Step step = ConvertSome(p, left, o, room);
        out.resize(out.size() - room);
        if (step == Step::Done) {
            // Flush a stateful target's closing sequence.
            std::size_t flushRoom = 16;
            const std::size_t at = out.size();
            out.resize(at + flushRoom);
            char* f = out.data() + at;
            iconv(Handle(cd_), nullptr, nullptr, &f, &flushRoom);
            out.resize(out.size() - flushRoom);
            return true;
        }
        if (step != Step::OutputFull) {
            Reset();
            return false;
        }
    }
}

std::size_t TextConverter::CharacterLength(std::string_view in) {
    if (measure_ == nullptr) {
        const iconv_t cd = iconv_open("UTF-32LE", from_.c_str());
        measure_ = cd == kNoConversion ? nullptr : cd;
    }
    if (measure_ == nullptr || in.empty()) return 1;
    char* source = const_cast<char*>(in.data());
    std::size_t left = in.size();
    char wide[4];
    char* out = wide;
    std::size_t room = sizeof wide;
    iconv(Handle(measure_), &source, &left, &out, &room);  // stops after one character (E2BIG)
    iconv(Handle(measure_), nullptr, nullptr, nullptr, nullptr);
    const std::size_t taken = in.size() - left;
    return room == 0 && taken > 0 ? taken : 1;
}

std::size_t TextConverter::ConvertReplacing(std::string_view in, std::string& out, std::string_view replacement) {
    std::size_t replaced = 0;
    const char* p = in.data();
    std::size_t left = in.size();
    while (left > 0) {
        const std::size_t start = out.size();
        out.resize(start + std::min(left, kChunk) * 4 + 16);
        char* o = out.data() + start;
        std::size_t room = out.size() - start;
        const Step step = ConvertSome(p, left, o, room);
        out.resize(out.size() - room);
        if (step == Step::Done || step == Step::OutputFull) continue;
        // A character the target cannot hold (or a broken one, or one cut by the end).
        const std::size_t skip = std::min(left, step == Step::Incomplete ? left : CharacterLength({p, left}));
        out.append(replacement);
        ++replaced;
        p += skip;
        left -= skip;
    }
    return replaced;
}

}  // namespace tabrook
