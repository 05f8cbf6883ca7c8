// Client character sets: each supported set converts to the database's UTF-8 and back byte
// for byte, and a character the target cannot hold becomes that set's replacement character.

#include <gtest/gtest.h>

#include "ocilite/api/ClientCharset.h"

namespace ocilite::api {
namespace {

struct RoundTrip {
    const char* charset;
    std::string client;  // bytes in the client set
    std::string utf8;    // the same text in the database
};

TEST(ClientCharset, ConvertsBothWaysByteForByte) {
    const RoundTrip cases[] = {
        // 表 and ソ end in 0x5C, the backslash byte; 0x8160 is WAVE DASH for JA16SJIS
        {"JA16SJIS", "\x95\x5C\x83\x5C\\~\x81\x60\x87\x40\xB1", "表ソ\\~\xE3\x80\x9C①ｱ"},
        {"JA16SJISTILDE", "\x81\x60\x93\xFA\x96\x7B", "\xEF\xBD\x9E日本"},
        {"JA16EUC", "\xC6\xFC\xCB\xDC\xB8\xEC", "日本語"},
        {"ZHS16GBK", "\xD6\xD0\xCE\xC4", "中文"},
        {"WE8MSWIN1252", "caf\xE9 \x80", "café €"},
        {"WE8ISO8859P1",
         "Gr\xFC\xDF"
         "e",
         "Grüße"},
        {"US7ASCII", "plain", "plain"},
        {"AL32UTF8", "Grüße 日本", "Grüße 日本"},
        {"UTF8", "Grüße", "Grüße"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.charset);
        const ClientCharset* cs = FindClientCharset(c.charset);
        ASSERT_NE(cs, nullptr);
        EXPECT_EQ(ToDatabaseText(c.client, *cs), c.utf8);
        EXPECT_EQ(ToClientText(c.utf8, *cs), c.client);
    }
}

TEST(ClientCharset, UnconvertibleCharactersBecomeTheReplacementCharacter) {
    struct Case {
        const char* charset;
        std::string utf8;
        std::string client;
    };
    const Case toClient[] = {
        {"JA16SJIS", "café", "caf\x81\x48"},          // full-width question mark
        {"JA16EUC", "\xF0\x9F\x98\x80", "\xA1\xA9"},  // an emoji
        {"WE8MSWIN1252", "日本", "\xBF\xBF"},         // inverted question mark
        {"US7ASCII", "Grüße", "Gr??e"},
        {"WE8ISO8859P1", "€", "\xBF"},
    };
    for (const auto& c : toClient) {
        SCOPED_TRACE(c.charset);
        EXPECT_EQ(ToClientText(c.utf8, *FindClientCharset(c.charset)), c.client);
    }
    // bytes that are no character of the client set arrive as U+FFFD
    EXPECT_EQ(ToDatabaseText("a\x80z", *FindClientCharset("US7ASCII")), "a\xEF\xBF\xBDz");
    EXPECT_EQ(ToDatabaseText("x\x81", *FindClientCharset("JA16SJIS")), "x\xEF\xBF\xBD");  // cut short
}

TEST(ClientCharset, NamesAndIdsAsOracleGivesThem) {
    EXPECT_EQ(FindClientCharset("ja16sjis")->id, 832);
    EXPECT_EQ(FindClientCharset("JA16SJISTILDE")->id, 838);
    EXPECT_EQ(FindClientCharset("JA16EUC")->id, 830);
    EXPECT_EQ(FindClientCharset("ZHS16GBK")->id, 852);
    EXPECT_EQ(FindClientCharset("WE8MSWIN1252")->id, 178);
    EXPECT_EQ(FindClientCharset("WE8ISO8859P1")->id, 31);
    EXPECT_EQ(FindClientCharset("US7ASCII")->id, 1);
    EXPECT_EQ(FindClientCharset("AL32UTF8")->id, 873);
    EXPECT_EQ(FindClientCharset("UTF8")->id, 871);
    EXPECT_EQ(FindClientCharset("KLINGON"), nullptr);
}

}  // namespace
}  // namespace ocilite::api
