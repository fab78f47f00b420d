#include "text/sjis_unicode.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

namespace rirevar {
namespace {

bool IsLead(int byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

// Every two-byte code, shown and typed back: the code must come back, or (for the characters
// code page 932 holds twice and the like) another code that shows the very same text.
TEST(SjisUnicode, EveryTwoByteCodeTypesBackToWhatItShows) {
  int shown = 0;
  int duplicates = 0;
  int undefined = 0;
  for (int lead = 0; lead < 256; ++lead) {
    if (!IsLead(lead)) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
      const std::u16string text = SjisToUtf16(code);
      ASSERT_FALSE(text.empty());
      if (text[0] == u'\uFFFD') {
        // Only the lead byte is spent; the trail byte shows as itself.
        EXPECT_EQ(text, u"\uFFFD" + SjisToUtf16(code.substr(1))) << std::hex << lead << trail;
        ++undefined;
        continue;
      }
      ++shown;
      const std::string typed = Utf16ToSjis(text);
      EXPECT_EQ(SjisToUtf16(typed), text) << std::hex << lead << trail;
      EXPECT_EQ(Utf8ToSjisTyped(SjisToUtf8(code)), typed) << std::hex << lead << trail;
      duplicates += typed != code;
    }
  }
  EXPECT_EQ(shown, 11340 - 37 - 60);
  EXPECT_EQ(undefined, 37 + 60);  // 37 codes no table defines, and every trail byte 0x7F
  // Mostly cp932's extension kanji, typed at their JIS X 0213 or IBM codes, and NEC row 13
  // symbols that JIS X 0208 also holds.
  EXPECT_EQ(duplicates, 629);
}

TEST(SjisUnicode, EverySingleByteTypesBackToItself) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string code(1, static_cast<char>(byte));
    const std::u16string text = SjisToUtf16(code);
    ASSERT_EQ(text.size(), 1u) << byte;
    if (IsLead(byte)) {
      EXPECT_EQ(text, u"\uFFFD") << byte;
    } else {
      EXPECT_NE(text, u"\uFFFD") << byte;
      EXPECT_EQ(Utf16ToSjis(text), code) << byte;
      EXPECT_EQ(Utf8ToSjisTyped(SjisToUtf8(code)), code) << byte;
    }
  }
}

struct BothWaysCase {
  const char* name;
  std::string_view sjis;
  std::u16string_view utf16;
  std::string_view utf8;
  friend void PrintTo(const BothWaysCase& c, std::ostream* os) { *os << c.name; }
};

class SjisUnicodeBothWays : public testing::TestWithParam<BothWaysCase> {};

TEST_P(SjisUnicodeBothWays, ShowsAndTypesBack) {
  const BothWaysCase& c = GetParam();
  EXPECT_EQ(SjisToUtf16(c.sjis), c.utf16);
  EXPECT_EQ(SjisToUtf8(c.sjis), c.utf8);
  EXPECT_EQ(Utf16ToSjis(c.utf16), c.sjis);
  EXPECT_EQ(Utf8ToSjisTyped(c.utf8), c.sjis);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SjisUnicodeBothWays,
    testing::Values(
        BothWaysCase{"Ascii", "Re: a\\b~c\r\n", u"Re: a\\b~c\r\n", "Re: a\\b~c\r\n"},
        BothWaysCase{"ZeroByteIsKept", std::string_view("a\0b", 3), std::u16string_view(u"a\0b", 3),
                     std::string_view("a\0b", 3)},
        BothWaysCase{"Hiragana", "\x82\xA0\x82\xA2", u"あい", "あい"},
        BothWaysCase{"HalfWidthKatakana", "\xB1\xB2\xDF", u"ｱｲﾟ", "ｱｲﾟ"},
        BothWaysCase{"WaveDashCodeShowsFullWidthTilde", "\x81\x60", u"～", "～"},
        BothWaysCase{"IbmKanjiTakaAsWindowsTypesIt", "\xFB\xFC", u"髙", "髙"},
        BothWaysCase{"NecRow13CircledDigit", "\x87\x40", u"①", "①"},
        BothWaysCase{"NecRow13ParenthesizedKabushiki", "\x87\x8A", u"㈱", "㈱"},
        BothWaysCase{"NecRow13NArySummation", "\x87\x94", u"∑", "∑"},
        BothWaysCase{"NecSelectedKanjiTypedAsIbmCode", "\xFA\x5C", u"纊", "纊"},
        BothWaysCase{"JisX0213Plane1Kanji", "\xEF\xE3", u"鷗", "鷗"},
        BothWaysCase{"JisX0213NonBmp", "\x87\xA0", u"\U0002000B", "\U0002000B"},
        BothWaysCase{"UserDefinedAreaShowsJisX0213Plane2", "\xF0\x40", u"\U00020089",
                     "\U00020089"},
        BothWaysCase{"KaWithSemiVoicedMarkIsOneCode", "\x82\xF5", u"\u304B\u309A",
                     "\u304B\u309A"},
        BothWaysCase{"SemiVoicedPairThenPlainKana", "\x82\xF5\x82\xA9", u"\u304B\u309A\u304B",
                     "\u304B\u309A\u304B"},
        BothWaysCase{"JisX0213SymbolTableOmits", "\x84\xEA", u"\u2047", "\u2047"},
        BothWaysCase{"PrivateUseSingleBytes", "\x80\xA0\xFD\xFF", u"\u0080\uF8F0\uF8F1\uF8F3",
                     "\u0080\uF8F0\uF8F1\uF8F3"}),
    [](const testing::TestParamInfo<BothWaysCase>& info) { return info.param.name; });

struct TypedCase {
  const char* name;
  std::u16string_view utf16;
  std::string_view sjis;
  friend void PrintTo(const TypedCase& c, std::ostream* os) { *os << c.name; }
};

class SjisUnicodeTyped : public testing::TestWithParam<TypedCase> {};

TEST_P(SjisUnicodeTyped, GivesTheCode) {
  EXPECT_EQ(Utf16ToSjis(GetParam().utf16), GetParam().sjis);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SjisUnicodeTyped,
    testing::Values(
        TypedCase{"WaveDashAsFullWidthTilde", u"〜", "\x81\x60"},
        TypedCase{"FullWidthTilde", u"～", "\x81\x60"},
        TypedCase{"MinusSignAsFullWidthHyphenMinus", u"−", "\x81\x7C"},
        TypedCase{"YenSignAsBackslashByte", u"¥", "\x5C"},
        TypedCase{"NecSelectedKanjiNotAsItsJisX0213Code", u"纊", "\xFA\x5C"},
        TypedCase{"PrivateUseAsUserDefinedCode", u"\uE000\uE757", "\xF0\x40\xF9\xFC"},
        TypedCase{"SemiVoicedMarkBeforeKanaIsNoPair", u"\u309A\u304B", "?\x82\xA9"},
        TypedCase{"OverlineHasNoCode", u"‾", "?"},
        TypedCase{"NonBmpBehindCp932ExtensionHasNoCode", u"\U0002550E", "?"},
        TypedCase{"ReplacementCharacterHasNoCode", u"\uFFFD", "?"},
        TypedCase{"LoneHighSurrogate", u"\xD840" u"A", "?A"},
        TypedCase{"LoneLowSurrogate", u"A\xDC0B", "A?"},
        TypedCase{"SwappedSurrogates", u"\xDC0B\xD840", "??"}),
    [](const testing::TestParamInfo<TypedCase>& info) { return info.param.name; });

struct Utf8Case {
  const char* name;
  std::string_view utf8;
  std::string_view sjis;
  friend void PrintTo(const Utf8Case& c, std::ostream* os) { *os << c.name; }
};

class SjisUnicodeTypedUtf8 : public testing::TestWithParam<Utf8Case> {};

TEST_P(SjisUnicodeTypedUtf8, GivesTheCode) {
  EXPECT_EQ(Utf8ToSjisTyped(GetParam().utf8), GetParam().sjis);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SjisUnicodeTypedUtf8,
    testing::Values(
        Utf8Case{"StrayContinuationByte", "a\x80" "b", "a?b"},
        Utf8Case{"ByteNeverInUtf8", "\xFF" "a", "?a"},
        Utf8Case{"CutShortBeforeAscii", "\xE3\x81" "A", "?A"},
        Utf8Case{"CutShortAtEnd", "A\xE3\x81", "A?"},
        Utf8Case{"OverlongSlash", "\xC0\xAF", "??"},
        Utf8Case{"OverlongThreeBytes", "\xE0\x80\xAF", "???"},
        Utf8Case{"EncodedSurrogate", "\xED\xA0\x80", "???"},
        Utf8Case{"BeyondU10FFFF", "\xF4\x90\x80\x80", "????"},
        Utf8Case{"BrokenSequenceThenKana", "\xE3\x82\xE3\x81\x82", "?\x82\xA0"}),
    [](const testing::TestParamInfo<Utf8Case>& info) { return info.param.name; });

struct ShownCase {
  const char* name;
  std::string_view sjis;
  std::u16string_view utf16;
  friend void PrintTo(const ShownCase& c, std::ostream* os) { *os << c.name; }
};

class SjisUnicodeShown : public testing::TestWithParam<ShownCase> {};

TEST_P(SjisUnicodeShown, ShowsTheText) {
  EXPECT_EQ(SjisToUtf16(GetParam().sjis), GetParam().utf16);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SjisUnicodeShown,
    testing::Values(
        ShownCase{"UndefinedCodeKeepsAsciiTrail", "\x87\x77" "x", u"\uFFFDwx"},
        ShownCase{"InvalidTrailIsReadAfresh", "\x82\x7F\x82\xA0", u"\uFFFD\x7F" u"あ"},
        ShownCase{"LeadBeforeLineBreak", "\x82\r\n", u"\uFFFD\r\n"},
        ShownCase{"LeadAtEnd", "a\x82", u"a\uFFFD"},
        ShownCase{"Cp932WinsOverJisX0213Symbol", "\x81\x5F\x81\x61\x81\x7C", u"＼∥－"},
        ShownCase{"Cp932ExtensionWinsOverJisX0213Kanji", "\xED\x40", u"纊"}),
    [](const testing::TestParamInfo<ShownCase>& info) { return info.param.name; });

}  // namespace
}  // namespace rirevar
