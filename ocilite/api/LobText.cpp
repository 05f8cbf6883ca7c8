#include "ocilite/api/LobText.h"

#include <algorithm>
#include <cstring>

#include "ocilite/api/ClientCharset.h"

namespace ocilite::api {
namespace {

bool Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

uint64_t CharacterCount(std::string_view text) {
    uint64_t n = 0;
    for (char c : text) n += Continuation(c) ? 0 : 1;
    return n;
}

size_t SkipCharacters(std::string_view text, size_t from, uint64_t chars) {
    size_t at = from;
    while (at < text.size() && chars > 0) {
        ++at;
        while (at < text.size() && Continuation(text[at])) ++at;
        --chars;
    }
    return at;
}

TextPiece TakeClientText(std::string_view content, size_t at, uint64_t maxChars, char* out, size_t room) {
    TextPiece piece;
    if (at >= content.size() || maxChars == 0 || room == 0) return piece;
    if (ClientIsUtf8()) {
        // the whole characters within room bytes, then no more than maxChars of them
        size_t end = std::min(content.size(), at + room);
        while (end > at && end < content.size() && Continuation(content[end])) --end;
        uint64_t chars = CharacterCount(content.substr(at, end - at));
        if (chars > maxChars) {
            end = SkipCharacters(content, at, maxChars);
            chars = maxChars;
        }
        piece.consumed = end - at;
        piece.bytes = piece.consumed;
        piece.chars = chars;
        std::memcpy(out, content.data() + at, piece.bytes);
        return piece;
    }
    // Every character becomes at least one client byte: start from as many characters as the
    // room has bytes and take fewer while the converted text does not fit.
    uint64_t chars = std::min<uint64_t>(maxChars, room);
    for (;;) {
        const size_t end = SkipCharacters(content, at, chars);
        const std::string client = ToClientText(content.substr(at, end - at));
        if (client.size() <= room) {
            std::memcpy(out, client.data(), client.size());
            piece.bytes = client.size();
            piece.chars = CharacterCount(content.substr(at, end - at));
            piece.consumed = end - at;
            return piece;
        }
        if (chars == 1) return piece;  // not even one character fits
        chars = std::max<uint64_t>(1, std::min<uint64_t>(chars - 1, chars * room / client.size()));
    }
}

std::string ContentFromClient(std::string_view client) {
    return ClientIsUtf8() ? std::string(client) : ToDatabaseText(client);
}

}  // namespace ocilite::api
