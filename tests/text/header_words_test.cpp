#include "text/header_words.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"
#include "text/incoming_text.h"
#include "text/jconvert.h"

namespace rirevar {
namespace {

using test::Hex;
using test::ToHex;

using test::CaseName;

struct TextCase {
  const char* name;
  std::string text;
  std::string expected;
};

// ---- DecodeHeaderWords ----

const TextCase kDecodeCases[] = {
    {"IsoJisB", "=?ISO-2022-JP?B?GyRCJEgbKEI=?=", Hex("82 C6")},
    {"LowerCasePrefix", "=?iso-2022-jp?b?GyRCJEgbKEI=?=", Hex("82 C6")},
    {"EucB", "=?EUC-JP?B?pKI=?=", Hex("82 A0")},
    {"Utf8B", "=?UTF-8?B?44GC?=", Hex("82 A0")},
    {"ShiftJisB", "=?SHIFT_JIS?B?gqA=?=", Hex("82 A0")},
    {"IsoJisQ", "=?ISO-2022-JP?Q?=1B$B$\"=1B(B?=", Hex("82 A0")},
    {"EucQ", "=?EUC-JP?Q?=A4=A2?=", Hex("82 A0")},
    {"Utf8Q", "=?UTF-8?Q?=E3=81=82?=", Hex("82 A0")},
    {"MixedCaseShiftJisQ", "=?Shift_JIS?Q?=82=A0?=", Hex("82 A0")},
    {"QUnderscoreStaysUnderscore", "=?UTF-8?Q?a_b?=", "a_b"},
    {"UnknownCharsetUnchanged", "=?ISO-8859-1?Q?caf=E9?=", "=?ISO-8859-1?Q?caf=E9?="},
    {"TextAroundTheWordKept", "Re: =?UTF-8?B?44GC?= (2)", "Re: " + Hex("82 A0") + " (2)"},
    {"BlankBetweenTwoWordsStays", "=?UTF-8?B?44GC?= =?UTF-8?B?44GC?=", Hex("82 A0 20 82 A0")},
    {"AdjacentWordsJoin", "=?UTF-8?B?44GC?==?UTF-8?B?44GC?=", Hex("82 A0 82 A0")},
    {"WordsOfSeveralKindsInOneLine", "=?UTF-8?Q?a?= =?ISO-2022-JP?B?GyRCJEgbKEI=?=",
     "a " + Hex("82 C6")},
    {"MissingEndMarkerLosesOnlyThePrefix", "=?UTF-8?B?44GC", "44GC"},
    {"QMissingEndMarkerLosesOnlyThePrefix", "=?UTF-8?Q?a_b", "a_b"},
    {"UndecodableBKeepsItsTextLosesItsPrefix", "=?UTF-8?B?44G?=", "44G?="},
    {"EmptyBWordKeepsItsEndMarker", "=?UTF-8?B?\?=", "?="},
    {"EmptyQWordVanishes", "x=?UTF-8?Q?\?=y", "xy"},
    {"DecodedTextEndsAtItsFirstZeroByte", "=?SHIFT_JIS?B?QQBC?=x", "Ax"},
    // Removing the inner prefix joins "=?UTF" and "-8?B?" into a word of its own.
    {"PrefixJoinedByARemovedPrefix", "=?UTF=?UTF-8?B?-8?B?44GC?=", Hex("82 A0")},
    // The decoded text is "=?UTF-8?B?44GC?=" itself.
    {"DecodedWordOfTheSameKindIsDecodedAgain", "=?UTF-8?B?PT9VVEYtOD9CPzQ0R0M/PQ==?=",
     Hex("82 A0")},
    {"NoWords", "plain subject", "plain subject"},
    {"Empty", "", ""},
};

class DecodeHeaderWordsTable : public testing::TestWithParam<TextCase> {};

TEST_P(DecodeHeaderWordsTable, DecodesTheLine) {
  EXPECT_EQ(ToHex(DecodeHeaderWords(GetParam().text)), ToHex(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(HeaderWords, DecodeHeaderWordsTable, testing::ValuesIn(kDecodeCases),
                         CaseName<TextCase>);

TEST(DecodeHeaderWords, LongLinesOfManyWords) {
  std::string words;
  std::string decoded;
  std::string prefixes;
  std::string refused;
  std::string kept;
  for (int i = 0; i < 20000; ++i) {
    words += "=?UTF-8?B?44GC?= ";
    decoded += Hex("82 A0 20");
    prefixes += "=?UTF-8?B?x";
    refused += "=?UTF-8?B?xy";
    kept += "xy";
  }
  EXPECT_EQ(DecodeHeaderWords(words), decoded);
  EXPECT_EQ(DecodeHeaderWords(prefixes), std::string(20000, 'x'));
  // One end marker far behind: each word in turn runs up to it and is refused for its length.
  EXPECT_EQ(DecodeHeaderWords(refused + "?="), kept + "?=");
}

// ---- ConvertDecodedWord ----

struct ConvertCase {
  const char* name;
  std::uint16_t charset;
  std::string bytes;
  std::string expected;
};

const ConvertCase kConvertCases[] = {
    {"Jis", CS_JIS, Hex("1B 24 42 24 22 1B 28 42"), Hex("82 A0")},
    {"Euc", CS_EUC, Hex("A4 A2"), Hex("82 A0")},
    {"Utf8", CS_UTF8, Hex("E3 81 82"), Hex("82 A0")},
    {"ShiftJisUnchangedZeroByteIncluded", CS_SJIS, Hex("82 A0 00 41"), Hex("82 A0 00 41")},
    {"OtherCodeUnchanged", CS_UTF16, Hex("42 30"), Hex("42 30")},
};

class ConvertDecodedWordTable : public testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertDecodedWordTable, BringsTheBytesIntoShiftJis) {
  EXPECT_EQ(ToHex(ConvertDecodedWord(GetParam().bytes, GetParam().charset)),
            ToHex(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(HeaderWords, ConvertDecodedWordTable, testing::ValuesIn(kConvertCases),
                         CaseName<ConvertCase>);

// ---- CreateHeaderString ----

const TextCase kCreateCases[] = {
    {"DoubleByteRunBecomesOneWord", Hex("82 A0"), "=?ISO-2022-JP?B?GyRCJCIbKEo=?="},
    {"AsciiStaysPlain", "abc", "abc"},
    {"Empty", "", ""},
    {"BlankBetweenRunsStaysPlain", Hex("82 A0 20 82 A2"),
     "=?ISO-2022-JP?B?GyRCJCIbKEo=?= =?ISO-2022-JP?B?GyRCJCQbKEo=?="},
    {"PlainTextAroundARun", "Re: " + Hex("8A BF 8E 9A") + " x",
     "Re: =?ISO-2022-JP?B?GyRCNEE7ehsoSg==?= x"},
    {"HalfWidthKanaCopiedUnencoded", Hex("82 A0 B1 B2"),
     "=?ISO-2022-JP?B?GyRCJCIbKEo=?=" + Hex("B1 B2")},
};

class CreateHeaderStringTable : public testing::TestWithParam<TextCase> {};

TEST_P(CreateHeaderStringTable, EncodesTheDoubleByteRuns) {
  EXPECT_EQ(ToHex(CreateHeaderString(GetParam().text)), ToHex(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(HeaderWords, CreateHeaderStringTable, testing::ValuesIn(kCreateCases),
                         CaseName<TextCase>);

TEST(CreateHeaderString, LongRunIsOneUnfoldedWord) {
  std::string run;
  for (int i = 0; i < 100; ++i) run += Hex("82 A0");
  const std::string header = CreateHeaderString(run);
  EXPECT_EQ(header.find("=?ISO-2022-JP?B?"), 0u);
  EXPECT_EQ(header.find("=?ISO-2022-JP?B?", 1), std::string::npos);
  EXPECT_EQ(header.find_first_of("\r\n"), std::string::npos);
  EXPECT_TRUE(header.ends_with("?="));
}

// What the header reader gets back from what the sender wrote: the decoded line, and that line
// after its ConvertJCode to Shift-JIS (the reader also deletes a remaining ESC ( J; none may
// remain).
struct SjisTextCase {
  const char* name;
  std::string text;
};

const SjisTextCase kRoundTripCases[] = {
    {"KanjiKanaAndAscii", Hex("8A BF 8E 9A 82 C6 83 4A 83 69") + " and ASCII"},
    {"AsciiFirstKanjiLast", "Re: " + Hex("93 FA 96 7B")},
    {"OnlyKanji", Hex("93 FA 96 7B 8C EA")},
    {"TwoRunsWithABlank", Hex("93 FA 96 7B") + " " + Hex("8C EA")},
    {"HalfWidthKanaBesideKanji", Hex("B1 B2 82 A0 B3")},
    {"EqualsAndQuestionMarksInPlainText", "a=b? " + Hex("82 A0") + " ?="},
};

class HeaderRoundTripTable : public testing::TestWithParam<SjisTextCase> {};

TEST_P(HeaderRoundTripTable, ReaderGetsBackWhatTheSenderWrote) {
  const std::string& text = GetParam().text;
  const std::string decoded = DecodeHeaderWords(CreateHeaderString(text));
  EXPECT_EQ(ToHex(decoded), ToHex(text));
  EXPECT_EQ(decoded.find('\x1B'), std::string::npos);
  EXPECT_EQ(ToHex(ConvertJCode(decoded, CODE_SJIS)), ToHex(text));
}

INSTANTIATE_TEST_SUITE_P(HeaderWords, HeaderRoundTripTable, testing::ValuesIn(kRoundTripCases),
                         CaseName<SjisTextCase>);

// ---- DecodeHeaderString ----

const TextCase kDecodeStringCases[] = {
    {"WordBecomesJisText", "=?ISO-2022-JP?B?GyRCJCIbKEo=?=", Hex("1B 24 42 24 22 1B 28 4A")},
    {"EndingEscParenBKept", "=?ISO-2022-JP?B?GyRCJEgbKEI=?=", Hex("1B 24 42 24 48 1B 28 42")},
    {"MissingKanjiOutAdded", "=?ISO-2022-JP?B?GyRCJCI=?=", Hex("1B 24 42 24 22 1B 28 4A")},
    {"LowerCasePrefix", "=?iso-2022-jp?b?GyRCJCIbKEo=?=", Hex("1B 24 42 24 22 1B 28 4A")},
    {"TextAroundKept", "Re: =?ISO-2022-JP?B?GyRCJCIbKEo=?= x",
     "Re: " + Hex("1B 24 42 24 22 1B 28 4A") + " x"},
    {"MissingEndMarkerLosesOnlyThePrefix", "=?ISO-2022-JP?B?GyRC", "GyRC"},
    {"OtherCharsetsUntouched", "=?UTF-8?B?44GC?=", "=?UTF-8?B?44GC?="},
};

class DecodeHeaderStringTable : public testing::TestWithParam<TextCase> {};

TEST_P(DecodeHeaderStringTable, GivesJisText) {
  EXPECT_EQ(ToHex(DecodeHeaderString(GetParam().text)), ToHex(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(HeaderWords, DecodeHeaderStringTable,
                         testing::ValuesIn(kDecodeStringCases), CaseName<TextCase>);

}  // namespace
}  // namespace rirevar
