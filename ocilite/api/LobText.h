#pragma once
// The text of a CLOB or NCLOB. Its content stays in the database character set (UTF-8), as a
// server keeps it, and its offsets, amounts and lengths count characters. Text crosses the C
// API in the client character set: a read converts the characters it hands over, a write
// converts what it receives. BLOBs and BFILEs are bytes and never converted.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ocilite::api {

// The characters of UTF-8 text (a stray byte counts as one).
uint64_t CharacterCount(std::string_view text);
// The byte offset `chars` characters after byte `from` (the end when there are fewer).
size_t SkipCharacters(std::string_view text, size_t from, uint64_t chars);

// One piece of text handed to a client.
struct TextPiece {
    size_t bytes = 0;     // client bytes written into the buffer
    uint64_t chars = 0;   // characters taken
    size_t consumed = 0;  // bytes of the content they came from
};
// Takes whole characters of content from byte `at`, at most maxChars of them and as many as
// fit in `room` bytes once in the client character set, into out.
TextPiece TakeClientText(std::string_view content, size_t at, uint64_t maxChars, char* out, size_t room);

// Client text as the content keeps it.
std::string ContentFromClient(std::string_view client);

}  // namespace ocilite::api
