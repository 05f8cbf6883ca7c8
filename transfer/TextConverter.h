#pragma once
// TextConverter: one iconv conversion from one encoding to another, owned (RAII). Strict
// conversion stops at the first sequence it cannot take; replacing conversion writes a
// replacement for every character the target cannot hold and counts them; the step-wise
// conversion serves a reader that converts a file block by block.

#include <cstddef>
#include <string>
#include <string_view>

namespace tabrook {

class TextConverter {
public:
    // Names as iconv knows them ("UTF-8", "CP932", "UTF-16LE", ...).
    TextConverter(const std::string& to, const std::string& from);
    ~TextConverter();
    TextConverter(const TextConverter&) = delete;
    TextConverter& operator=(const TextConverter&) = delete;

    // False when iconv does not know one of the two names.
    bool Ready() const;

    // Appends in, converted, to out. False (out then holds what was converted before it) at a
    // sequence invalid in the source or a character the target cannot hold.
    bool Convert(std::string_view in, std::string& out);

    // Appends in, converted, to out; every character the target cannot hold (and every byte
    // invalid in the source) is written as replacement, bytes of the target encoding.
    // Returns how many were replaced.
    std::size_t ConvertReplacing(std::string_view in, std::string& out, std::string_view replacement);

    enum class Step { Done, OutputFull, Incomplete, Invalid };
    // Converts from in into out as far as both go, advancing both. Done: all of in was taken;
    // OutputFull: out has no room for the next character; Incomplete: in ends inside a
    // character (keep the rest for the next call); Invalid: in holds a bad sequence there.
    Step ConvertSome(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft);

    // Forgets any shift state (before a new file).
    void Reset();

private:
    // Bytes taken by the character at the start of in (1 when it is not a valid one).
    std::size_t CharacterLength(std::string_view in);

    void* cd_ = nullptr;
    void* measure_ = nullptr;  // source to UTF-32, made when a character must be skipped
    std::string from_;
};

}  // namespace tabrook
