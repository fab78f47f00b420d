#include "text/transfer_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace rirevar {
namespace {

using test::Hex;
using test::ToHex;

using test::CaseName;

// Bytes 0, 7, 14, ... wrapping: every bit pattern turns up in a few hundred bytes.
std::string Pattern(std::size_t length) {
  std::string bytes;
  for (std::size_t i = 0; i < length; ++i) bytes += static_cast<char>(i * 7);
  return bytes;
}

// ---- Base64: one table for decoding and encoding ----

struct Base64Case {
  const char* name;
  std::string plain;
  std::string encoded;
};

const Base64Case kBase64Cases[] = {
    {"Empty", "", ""},
    {"OneByteGetsTwoPads", "a", "YQ=="},
    {"TwoBytesGetOnePad", "ab", "YWI="},
    {"WholeGroup", "abc", "YWJj"},
    {"HighBytes", Hex("FF FE FD"), "//79"},
    {"ZeroBytes", Hex("00 00 00 00"), "AAAAAA=="},
    {"ShiftJisCharacter", Hex("82 A0"), "gqA="},
    {"JisTextOfAHeaderWord", Hex("1B 24 42 24 22 1B 28 4A"), "GyRCJCIbKEo="},
};

class Base64Table : public testing::TestWithParam<Base64Case> {};

TEST_P(Base64Table, EncodeBase64GivesTheText) {
  EXPECT_EQ(EncodeBase64(GetParam().plain), GetParam().encoded);
}

TEST_P(Base64Table, DecodeBase64GivesTheBytes) {
  EXPECT_EQ(ToHex(DecodeBase64(GetParam().encoded)), ToHex(GetParam().plain));
}

TEST_P(Base64Table, BlockDecoderGivesTheBytesAndTheirLength) {
  const Base64Case& c = GetParam();
  if (c.encoded.empty()) {
    EXPECT_EQ(DecodeBase64Block(c.encoded), std::nullopt);
    return;
  }
  const std::optional<std::string> decoded = DecodeBase64Block(c.encoded);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(ToHex(*decoded), ToHex(c.plain));

  std::vector<char> out(c.encoded.size() / 4 * 3);
  ASSERT_EQ(DecodeBase64Block(c.encoded.c_str(), out.data()), 0);
  ASSERT_EQ(DecodedLength, static_cast<int>(c.plain.size()));
  EXPECT_EQ(ToHex(std::string(out.data(), c.plain.size())), ToHex(c.plain));
}

INSTANTIATE_TEST_SUITE_P(TransferEncoding, Base64Table, testing::ValuesIn(kBase64Cases),
                         CaseName<Base64Case>);

// ---- DecodeBase64Block: the C contract ----

struct BlockCase {
  const char* name;
  const char* text;
  int result;
  std::string written;  // the whole output, (length / 4) * 3 bytes
  int decodedLength;
};

const BlockCase kBlockCases[] = {
    {"WholeGroup", "QUJD", 0, "ABC", 3},
    {"PaddingGroupStillWritesThreeBytes", "QQ==", 0, Hex("41 00 00"), 1},
    {"TwoGroups", "QUJDQQ==", 0, Hex("41 42 43 41 00 00"), 4},
    {"OnlyPaddingLengthStopsAtZero", "====", 0, Hex("00 00 00"), 0},
    {"TooMuchPaddingLengthStopsAtZero", "Q===", 0, Hex("40 00 00"), 0},
    {"ByteOutsideAlphabetCountsZero", "Q*JD", 0, Hex("40 02 43"), 3},
    {"LengthNotMultipleOfFourRefused", "QUJ", -2, "", 0},
    {"EmptyRefused", "", -2, "", 0},
    {"MissingTextRefused", nullptr, -1, "", 0},
};

class BlockTable : public testing::TestWithParam<BlockCase> {};

TEST_P(BlockTable, WritesTheGroupsAndSetsDecodedLength) {
  const BlockCase& c = GetParam();
  constexpr char kUntouched = '\x5A';
  // One guard byte past what the decoder may write.
  std::vector<char> out(c.written.size() + 1, kUntouched);
  DecodedLength = 99;
  ASSERT_EQ(DecodeBase64Block(c.text, out.data()), c.result);
  EXPECT_EQ(DecodedLength, c.decodedLength);
  EXPECT_EQ(ToHex(std::string(out.data(), c.written.size())), ToHex(c.written));
  EXPECT_EQ(out.back(), kUntouched);
}

TEST_P(BlockTable, SafeFormAgreesWithTheCForm) {
  const BlockCase& c = GetParam();
  if (c.text == nullptr) return;
  const std::optional<std::string> decoded = DecodeBase64Block(std::string_view(c.text));
  if (c.result != 0) {
    EXPECT_EQ(decoded, std::nullopt);
  } else {
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(ToHex(*decoded), ToHex(c.written.substr(0, c.decodedLength)));
  }
}

INSTANTIATE_TEST_SUITE_P(TransferEncoding, BlockTable, testing::ValuesIn(kBlockCases),
                         CaseName<BlockCase>);

// ---- Quoted-printable ----

struct QuotedPrintableCase {
  const char* name;
  std::string text;
  std::string decoded;
};

const QuotedPrintableCase kQuotedPrintableCases[] = {
    {"EscapeUpperCaseHex", "a=3Db", "a=b"},
    {"EscapeLowerCaseHex", "a=3db", "a=b"},
    {"EscapedHighBytes", "=82=A0", Hex("82 A0")},
    {"EscapedZeroByteKept", "a=00b", std::string("a\0b", 3)},
    {"SoftLineBreakRemoved", "a=\r\nb", "ab"},
    {"SoftLineBreakWithLfOnly", "a=\nb", "ab"},
    {"MalformedEscapeLosesOnlyEquals", "a=zz", "azz"},
    {"EqualsAtTheEndDropped", "ab=", "ab"},
    {"HalfEscapeAtTheEnd", "a=4", "a4"},
    {"BlankBeforeBreakKeepsTheBreak", "a= \r\nb", "a \r\nb"},
    {"UnderscoreStaysUnderscore", "a_b", "a_b"},
    {"HardLineBreakCopied", "a\r\nb", "a\r\nb"},
    {"Empty", "", ""},
};

class QuotedPrintableTable : public testing::TestWithParam<QuotedPrintableCase> {};

TEST_P(QuotedPrintableTable, DecodesTheText) {
  const QuotedPrintableCase& c = GetParam();
  EXPECT_EQ(ToHex(DecodeQuotedPrintable(c.text)), ToHex(c.decoded));

  std::vector<char> out(c.text.size() + 1, '\x5A');
  const int written =
      DecodeQuotedPrintable(c.text.data(), static_cast<int>(c.text.size()), out.data());
  EXPECT_EQ(ToHex(std::string(out.data(), static_cast<std::size_t>(written))), ToHex(c.decoded));
  EXPECT_EQ(out.back(), '\x5A');
}

INSTANTIATE_TEST_SUITE_P(TransferEncoding, QuotedPrintableTable,
                         testing::ValuesIn(kQuotedPrintableCases), CaseName<QuotedPrintableCase>);

TEST(QuotedPrintable, CFormReadsOnlyTheGivenLength) {
  // The escape "=41" runs past the length: only "=4" is seen.
  const char text[] = "ab=41";
  char out[4];
  ASSERT_EQ(DecodeQuotedPrintable(text, 4, out), 3);
  EXPECT_EQ(std::string(out, 3), "ab4");
  EXPECT_EQ(DecodeQuotedPrintable(text, 0, out), 0);
}

TEST(QuotedPrintable, HexPairToByte) {
  EXPECT_EQ(HexPairToByte('4', '1'), 0x41);
  EXPECT_EQ(HexPairToByte('a', 'F'), 0xAF);
  EXPECT_EQ(HexPairToByte('F', 'f'), 0xFF);
  EXPECT_EQ(HexPairToByte('0', '0'), 0x00);
}

// ---- DecodeBase64 of texts an encoder other than ours wrote ----

struct DecodeCase {
  const char* name;
  std::string text;
  std::string decoded;
};

const DecodeCase kDecodeBase64Cases[] = {
    {"LineBreaksBetweenGroups", "YWJj\r\nYWJj\r\n", "abcabc"},
    {"LfBetweenGroups", "YWJj\nYQ==\n", "abca"},
    {"UnpaddedTwoBytes", "YWI", "ab"},
    {"UnpaddedOneByte", "YQ", "a"},
    {"OnlyPadding", "====", ""},
};

class DecodeBase64Table : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeBase64Table, DecodesTheText) {
  EXPECT_EQ(ToHex(DecodeBase64(GetParam().text)), ToHex(GetParam().decoded));
}

INSTANTIATE_TEST_SUITE_P(TransferEncoding, DecodeBase64Table, testing::ValuesIn(kDecodeBase64Cases),
                         CaseName<DecodeCase>);

// ---- EncodeBase64R ----

TEST(EncodeBase64R, BreaksAfterEverySeventySixCharacters) {
  const std::string line = [] {
    std::string text;
    for (int i = 0; i < 19; ++i) text += "YWFh";
    return text;
  }();
  EXPECT_EQ(EncodeBase64R("", "\r\n"), "");
  EXPECT_EQ(EncodeBase64R("abc", "\r\n"), "YWJj");
  // A full last line still gets its separator.
  EXPECT_EQ(EncodeBase64R(std::string(57, 'a'), "\r\n"), line + "\r\n");
  EXPECT_EQ(EncodeBase64R(std::string(58, 'a'), "\r\n"), line + "\r\nYQ==");
  EXPECT_EQ(EncodeBase64R(std::string(114, 'a'), "\n"), line + "\n" + line + "\n");
}

TEST(EncodeBase64R, DecodeBase64ReadsItBack) {
  for (std::size_t length : {0u, 1u, 56u, 57u, 58u, 200u, 1000u}) {
    EXPECT_EQ(ToHex(DecodeBase64(EncodeBase64R(Pattern(length), "\r\n"))), ToHex(Pattern(length)))
        << length << " bytes";
  }
}

// ---- UU ----

// Bytes 0, 1, 2, ... count - 1.
std::string Ascending(std::size_t count) {
  std::string bytes;
  for (std::size_t i = 0; i < count; ++i) bytes += static_cast<char>(i);
  return bytes;
}

const Base64Case kUuCases[] = {
    {"Empty", "", "\r\n`\r\n"},
    {"OneBytePaddedWithGraveAccents", "A", "!00``\r\n`\r\n"},
    {"TwoBytes", "ab", "\"86(`\r\n`\r\n"},
    {"WholeGroup", "Cat", "#0V%T\r\n`\r\n"},
    {"ZeroBytesAsGraveAccents", Hex("00 00 00"), "#````\r\n`\r\n"},
    // The closing grave accent counts 0: decoding gives 45 bytes, not 45 + 64.
    {"FullLineThenEmptyLineThenGraveAccent", Ascending(45),
     "M``$\"`P0%!@<(\"0H+#`T.#Q`1$A,4%187&!D:&QP='A\\@(2(C)\"4F)R@I*BLL"
     "\r\n\r\n`\r\n"},
};

class UuTable : public testing::TestWithParam<Base64Case> {};

TEST_P(UuTable, EncodeUUGivesTheText) {
  EXPECT_EQ(EncodeUU(GetParam().plain, "\r\n"), GetParam().encoded);
}

TEST_P(UuTable, DecodeUUGivesTheBytes) {
  EXPECT_EQ(ToHex(DecodeUU(GetParam().encoded)), ToHex(GetParam().plain));
}

INSTANTIATE_TEST_SUITE_P(TransferEncoding, UuTable, testing::ValuesIn(kUuCases),
                         CaseName<Base64Case>);

TEST(EncodeUU, WritesTheGivenSeparator) {
  EXPECT_EQ(EncodeUU("A", "\n"), "!00``\n`\n");
}

const DecodeCase kDecodeUuCases[] = {
    {"BlanksForZeroAsOlderEncodersWrite", "!00  \r\n \r\n", "A"},
    {"LfLineBreaks", "#0V%T\n`\n", "Cat"},
    {"NoClosingLine", "#0V%T", "Cat"},
    {"LineShorterThanItsLengthIsZeroFilled", "$0V%T\r\n`\r\n", std::string("Cat\0", 4)},
    {"TruncatedFullLineIsZeroFilled", "M0V%T", "Cat" + std::string(42, '\0')},
    {"LinesAfterTheShortLineAreNotCounted", "!00``\r\n!00``\r\n", "A"},
    {"Empty", "", ""},
};

class DecodeUuTable : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeUuTable, DecodesTheText) {
  EXPECT_EQ(ToHex(DecodeUU(GetParam().text)), ToHex(GetParam().decoded));
}

INSTANTIATE_TEST_SUITE_P(TransferEncoding, DecodeUuTable, testing::ValuesIn(kDecodeUuCases),
                         CaseName<DecodeCase>);

TEST(DecodeUU, ReadsBackEveryLineLength) {
  for (std::size_t length : {0u, 1u, 2u, 3u, 44u, 45u, 46u, 89u, 90u, 91u, 135u, 1000u}) {
    EXPECT_EQ(ToHex(DecodeUU(EncodeUU(Pattern(length), "\r\n"))), ToHex(Pattern(length)))
        << length << " bytes";
    EXPECT_EQ(ToHex(DecodeUU(EncodeUU(Pattern(length), "\n"))), ToHex(Pattern(length)))
        << length << " bytes, LF";
  }
}

// ---- BinHex ----

std::string Repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

const Base64Case kBinHexCases[] = {
    {"Empty", "", "::"},
    {"WholeGroup", "abc", ":B@*M:"},
    {"OneByteGivesTwoCharacters", "a", ":B3:"},
    {"TwoBytesGiveThreeCharacters", "ab", ":B@):"},
    {"HighBytes", Hex("FF FE FD"), ":rrlp:"},
    {"FirstLineCountsTheColon", Repeat("abc", 15), ":" + Repeat("B@*M", 15) + ":"},
    {"BreakAfterThirdCharacterOfTheGroupThatCompletesTheLine", Repeat("abc", 16),
     ":" + Repeat("B@*M", 15) + "B@*\r\nM:"},
    {"EveryLineSixtyFourCharacters", Repeat("abc", 32),
     ":" + Repeat("B@*M", 15) + "B@*\r\nM" + Repeat("B@*M", 15) + "B@*\r\nM:"},
    {"ShortGroupCompletingTheLine", Repeat("abc", 15) + "ab",
     ":" + Repeat("B@*M", 15) + "B@)\r\n:"},
};

class BinHexTable : public testing::TestWithParam<Base64Case> {};

TEST_P(BinHexTable, EncodeBinHexGivesTheText) {
  EXPECT_EQ(EncodeBinHex(GetParam().plain, "\r\n"), GetParam().encoded);
}

TEST_P(BinHexTable, DecodeBinHexGivesTheBytes) {
  EXPECT_EQ(ToHex(DecodeBinHex(GetParam().encoded)), ToHex(GetParam().plain));
}

INSTANTIATE_TEST_SUITE_P(TransferEncoding, BinHexTable, testing::ValuesIn(kBinHexCases),
                         CaseName<Base64Case>);

const DecodeCase kDecodeBinHexCases[] = {
    {"StopsAtTheClosingColon", ":B@*M:B@*M", "abc"},
    {"LfAloneInsideTheGroup", ":B@*\nM:", "abc"},
    {"CrAloneInsideTheGroup", ":B@*\rM:", "abc"},
    {"OneCharacterMakesNoByte", ":B:", ""},
    {"MissingClosingColon", ":B@*M", "abc"},
    {"Empty", "", ""},
};

class DecodeBinHexTable : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeBinHexTable, DecodesTheText) {
  EXPECT_EQ(ToHex(DecodeBinHex(GetParam().text)), ToHex(GetParam().decoded));
}

INSTANTIATE_TEST_SUITE_P(TransferEncoding, DecodeBinHexTable, testing::ValuesIn(kDecodeBinHexCases),
                         CaseName<DecodeCase>);

TEST(DecodeBinHex, ReadsBackEveryLength) {
  for (std::size_t length = 0; length < 200; ++length) {
    EXPECT_EQ(ToHex(DecodeBinHex(EncodeBinHex(Pattern(length), "\r\n"))), ToHex(Pattern(length)))
        << length << " bytes";
  }
}

}  // namespace
}  // namespace rirevar
