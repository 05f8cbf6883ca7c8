#pragma once
// Text as the client hands it over (CSV bytes, values, column names) is in the client's
// character set, which under NLS_LANG=...JA16SJIS is not the UTF-8 of the windows. A decoder
// turns such bytes into the windows' text; bytes that are no character of the set show as
// U+FFFD.

#include <QString>
#include <string>
#include <string_view>

namespace tabrook {

class ClientTextDecoder {
public:
    // charset: an Oracle character set name ("JA16SJIS", "AL32UTF8", ...); an empty or unknown
    // name decodes as UTF-8.
    explicit ClientTextDecoder(std::string charset = {});
    ~ClientTextDecoder();
    ClientTextDecoder(const ClientTextDecoder&) = delete;
    ClientTextDecoder& operator=(const ClientTextDecoder&) = delete;

    const std::string& Charset() const { return charset_; }
    QString Decode(std::string_view bytes) const;

private:
    std::string charset_;
    void* converter_ = nullptr;  // an iconv descriptor into UTF-8; null: the bytes are UTF-8
};

}  // namespace tabrook
