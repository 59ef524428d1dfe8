// CP932 text: the characters Windows users type, and bytes that are not CP932 at all.
#include <gtest/gtest.h>

#include "model/Cp932.h"

namespace sw::model {
namespace {

TEST(Cp932, ExtensionCharactersAndAsciiRoundTrip) {
    // ① ㈱ 髙 﨑 ～ － ￢ and the ASCII backslash and tilde.
    const QString text = QString::fromUtf8("①㈱髙﨑～－￢\\~ＭＳ ゴシック");
    EncodeResult r = EncodeCp932(text);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.bytes.substr(0, 4), "\x87\x40\x87\x8a");
    // 0x5C and 0x7E stay the backslash and the tilde.
    EXPECT_NE(r.bytes.find("\\~"), std::string::npos);
    EXPECT_EQ(DecodeCp932(r.bytes), text);
}

TEST(Cp932, InvalidBytesShowAsReplacementCharactersAndAreNotLost) {
    const std::string bytes = "A\x81\xff" "B\x80\xa0\x82";
    QString shown = DecodeCp932(bytes);
    EXPECT_TRUE(shown.startsWith('A'));
    EXPECT_TRUE(shown.contains(QChar(0xFFFD)));
    EXPECT_TRUE(shown.contains('B'));
    // 0xA0 is no character; the trailing lead byte 0x82 is incomplete.
    EXPECT_TRUE(shown.endsWith(QChar(0xFFFD)));
    EXPECT_EQ(DecodeCp932ToUtf8("\xb1\xb2"), "ｱｲ");  // half-width katakana
}

TEST(Cp932, EncodingReportsTheFirstCharacterItCannotHold) {
    EncodeResult r = EncodeCp932(QString::fromUtf8("ab😀c€"));
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.badChar, U'😀');
    EXPECT_TRUE(r.bytes.empty());
    EXPECT_EQ(EncodeCp932(QString::fromUtf8("x€")).badChar, U'€');
    EXPECT_FALSE(FitsCp932(QString(QChar(0xD800))));
    EXPECT_TRUE(FitsCp932(QString()));
}

TEST(Cp932, LengthCountsBytesNotCharacters) {
    EXPECT_EQ(Cp932Length(QString::fromUtf8("ABC")), 3);
    EXPECT_EQ(Cp932Length(QString::fromUtf8("日本")), 4);
    EXPECT_EQ(Cp932Length(QString::fromUtf8("ｱ日")), 3);
}

}  // namespace
}  // namespace sw::model
