#include "text/incoming_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "test_support.h"
#include "text/jconvert.h"
#include "text/sjis_tables.h"

namespace rirevar {
namespace {

using test::Hex;
using test::ToHex;

// As TextToSjis asks: the last byte is never examined as a start.
std::uint16_t Detect(const std::string& text) {
  return DetectCharset(text, static_cast<int>(text.size()) - 1);
}

std::string Utf16Le(std::u16string_view units) {
  std::string bytes;
  for (char16_t u : units) {
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  return bytes;
}

const std::string kUtf8Aiu = Hex("E3 81 82 E3 81 84 E3 81 86");  // あいう
const std::string kSjisAiu = Hex("82 A0 82 A2 82 A4");
const std::string kEucAiu = Hex("A4 A2 A4 A4 A4 A6");
const std::string kJisAiu = Hex("1B 24 42 24 22 24 24 24 26 1B 28 42");

struct DetectCase {
  const char* name;
  std::string text;
  std::uint16_t charset;
};

class DetectCharsetTest : public testing::TestWithParam<DetectCase> {};

TEST_P(DetectCharsetTest, Detects) {
  EXPECT_EQ(Detect(GetParam().text), GetParam().charset) << ToHex(GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DetectCharsetTest,
    testing::Values(
        DetectCase{"two_bytes_are_too_short", kSjisAiu.substr(0, 2), CS_UNKNOWN},
        DetectCase{"utf8", "abc " + kUtf8Aiu, CS_UTF8},
        DetectCase{"sjis", "abc " + kSjisAiu, CS_SJIS},
        DetectCase{"euc", "abc " + kEucAiu, CS_EUC},
        DetectCase{"jis_escape", kJisAiu + "x", CS_JIS},
        DetectCase{"jis_escape_wins_over_sjis_bytes", kJisAiu + kSjisAiu + kSjisAiu, CS_JIS},
        DetectCase{"jis_x0213_plane_escape", Hex("1B 24 28 50 21 21 1B 28 42"), CS_JIS},
        DetectCase{"utf16_with_line_break", Utf16Le(u"\u3042\u3044\r\n\u3046"), CS_UTF16},
        DetectCase{"utf16_without_line_break_is_binary", Utf16Le(u"a\u3042\u3044\u3046"), CS_BINARY},
        DetectCase{"two_zero_bytes_at_even_position", Hex("41 42 00 00 82 A0"), CS_BINARY},
        DetectCase{"zero_at_odd_position", Hex("41 00 82 A0 82 A2"), CS_BINARY},
        DetectCase{"utf7_run_of_base64", "a+b-c", CS_UTF7},
        DetectCase{"plain_ascii_with_non_base64_run", "1+1=2 ok", CS_ASCII},
        DetectCase{"equals_in_last_two_bytes_is_never_seen", "1+1=2", CS_UTF7},
        DetectCase{"plain_ascii_is_utf7", "hello world", CS_UTF7},
        DetectCase{"sjis_and_euc_tie", Hex("82 A0 A4 A2 41 41"), CS_UNKNOWN},
        DetectCase{"two_byte_utf8_alone_counts_as_euc_not_utf8", Hex("41 C3 A9 41 C3 A9 41"), CS_EUC},
        DetectCase{"high_byte_ends_utf7_watch", Hex("2B 81 21 41 41"), CS_UTF7}),
    test::CaseName<DetectCase>);

struct TextCase {
  const char* name;
  std::string in;
  std::string out;
};

class TextToSjisTest : public testing::TestWithParam<TextCase> {};

TEST_P(TextToSjisTest, Converts) {
  std::string text = GetParam().in;
  TextToSjis(text);
  EXPECT_EQ(ToHex(text), ToHex(GetParam().out));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToSjisTest,
    testing::Values(
        TextCase{"utf8_hiragana", Hex("E3 81 82"), Hex("82 A0")},
        TextCase{"utf8_text", "a " + kUtf8Aiu + "\r\n", "a " + kSjisAiu + "\r\n"},
        TextCase{"utf8_four_byte_character_is_one_question_mark",
                 kUtf8Aiu + Hex("F0 9F 98 80") + kUtf8Aiu, kSjisAiu + "?" + kSjisAiu},
        TextCase{"utf8_wave_dash_is_the_jis_wave_dash", kUtf8Aiu + Hex("E3 80 9C"), kSjisAiu + Hex("81 60")},
        TextCase{"utf8_fullwidth_tilde_is_the_wave_dash", kUtf8Aiu + Hex("EF BD 9E"), kSjisAiu + Hex("81 60")},
        TextCase{"utf8_minus_sign", kUtf8Aiu + Hex("E2 88 92"), kSjisAiu + Hex("81 7C")},
        TextCase{"utf8_double_vertical_line", kUtf8Aiu + Hex("E2 80 96"), kSjisAiu + Hex("81 61")},
        TextCase{"utf8_unmapped_hangul_is_question_mark", kUtf8Aiu + Hex("EA B0 80"), kSjisAiu + "?"},
        TextCase{"utf8_halfwidth_kana_stays_single_byte", kUtf8Aiu + Hex("EF BD B1"), kSjisAiu + Hex("B1")},
        TextCase{"utf8_cut_short_ends_the_text", kUtf8Aiu + Hex("E3 81"), kSjisAiu},
        TextCase{"euc_text", kEucAiu + "x", kSjisAiu + "x"},
        TextCase{"euc_half_width_kana_stays_half_width", kEucAiu + Hex("8E B1"), kSjisAiu + Hex("B1")},
        TextCase{"jis_text", "a" + kJisAiu + "b", "a" + kSjisAiu + "b"},
        TextCase{"jis_keeps_stray_sjis_bytes_one_by_one", kJisAiu + kSjisAiu + kSjisAiu,
                 kSjisAiu + kSjisAiu + kSjisAiu},
        TextCase{"jis_x0213_plane2_row_1", Hex("1B 24 28 50 21 21 1B 28 42"), Hex("F0 40")},
        TextCase{"jis_x0212_escape_alone_is_not_detected", Hex("1B 24 28 44 31 21 1B 28 42"),
                 Hex("1B 24 28 44 31 21 1B 28 42")},
        TextCase{"jis_x0213_plane2_row_2_has_no_code", Hex("1B 24 28 50 22 21 1B 28 42"), "?"},
        TextCase{"jis_half_width_kana_escape", Hex("1B 24 42 1B 28 49 31 32 1B 28 42 78"), Hex("B1 B2 78")},
        TextCase{"jis_roman_shift_out_kana", Hex("1B 24 42 1B 28 4A 0E 31 0F 41"), Hex("B1 41")},
        TextCase{"jis_shift_out_outside_roman_is_a_byte", Hex("1B 24 42 1B 28 42 0E 31"), Hex("0E 31")},
        TextCase{"jis_unknown_escape_is_copied", Hex("1B 24 42 24 22 1B 28 42 1B 28 5A 41"), Hex("82 A0 1B 28 5A 41")},
        TextCase{"jis_two_byte_cut_short", kJisAiu.substr(0, 9) + Hex("24"), kSjisAiu},
        TextCase{"sjis_unchanged", "x" + kSjisAiu, "x" + kSjisAiu},
        TextCase{"two_bytes_never_converted", Hex("A4 A2"), Hex("A4 A2")},
        TextCase{"tie_left_unchanged", Hex("82 A0 A4 A2 41 41"), Hex("82 A0 A4 A2 41 41")},
        TextCase{"utf16_with_line_break", Utf16Le(u"\u3042\u3044\r\n\u3046"),
                 Hex("82 A0 82 A2 0D 0A 82 A4")},
        TextCase{"utf16_odd_last_byte_pairs_with_zero", Utf16Le(u"\u3042\r\n") + "A", Hex("82 A0 0D 0A 41")},
        TextCase{"binary_cut_at_first_zero", Utf16Le(u"a\u3042\u3044"), "a"},
        TextCase{"empty", "", ""}),
    test::CaseName<TextCase>);

TEST(TextToSjisTest, Jis0212KanjiGoesThroughItsTable) {
  // JIS X 0212 0x3121 (U+4F85) is carried by JIS X 0213 plane 2 at 0xF06B.
  std::string text = kJisAiu + Hex("1B 24 28 44 31 21 1B 28 42");
  TextToSjis(text);
  EXPECT_EQ(ToHex(text), ToHex(kSjisAiu + Hex("F0 6B")));
  // U+4F89 at 0x3122 is not in JIS X 0213; U+4E02 at 0x3021 is, in the first kanji row.
  std::string euc = kEucAiu + Hex("8F B1 A1 8F B1 A2 8F B0 A1") + kEucAiu;
  TextToSjis(euc);
  EXPECT_EQ(ToHex(euc), ToHex(kSjisAiu + Hex("F0 6B 3F F0 41") + kSjisAiu));
}

struct JisCodeCase {
  std::uint16_t code;
  int plane;
  std::uint16_t sjis;
};

TEST(BuildingBlocksTest, JisCodeToSjis) {
  const JisCodeCase cases[] = {
      {0x2422, 1, 0x82A0}, {0x2121, 1, 0x8140}, {0x2160, 1, 0x8180}, {0x3021, 1, 0x889F},
      {0x7E7E, 1, 0xEFFC}, {0x2121, 2, 0xF040}, {0x2821, 2, 0xF09F}, {0x6E21, 2, 0xF49F},
      {0x2221, 2, 0},      {0x2621, 2, 0},      {0x6D21, 2, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JisCodeToSjis(c.code, c.plane), c.sjis) << std::hex << c.code << " plane " << c.plane;
  }
}

TEST(BuildingBlocksTest, Jis0212ToSjisCoversEveryKanjiRow) {
  // The kanji of JIS X 0212 occupy rows 0x30 to 0x6D; row 0x30 holds 44 that JIS X 0213 carries.
  EXPECT_EQ(Jis0212ToSjis(0x3021), 0xF041);  // U+4E02
  EXPECT_EQ(Jis0212ToSjis(0x3021), Jis0212Table[0]);
  EXPECT_EQ(Jis0212ToSjis(0x3121), 0xF06B);  // U+4F85
  EXPECT_EQ(Jis0212ToSjis(0x4B55), 0xEC93);  // U+7395
  EXPECT_EQ(Jis0212ToSjis(0x6D7E), Jis0212Table[kJis0212Rows * kJis0212Cells - 1]);
  for (std::uint16_t outside : {0x0000, 0x2121, 0x2F7E, 0x3020, 0x6D7F, 0x6E21, 0x3180, 0xFFFF, 0x4B7F}) {
    EXPECT_EQ(Jis0212ToSjis(outside), 0) << std::hex << outside;
  }
}

TEST(BuildingBlocksTest, AsciiMapsToItself) {
  // The UTF-8 converter copies ASCII runs whole on the strength of this.
  for (std::uint16_t u = 1; u < 0x80; ++u) EXPECT_EQ(UnicodeToSjis(u), u) << u;
}

TEST(BuildingBlocksTest, PutSjisChar) {
  char out[2] = {};
  EXPECT_EQ(PutSjisChar(nullptr, 0x82A0), 2);
  EXPECT_EQ(PutSjisChar(nullptr, 0x41), 1);
  EXPECT_EQ(PutSjisChar(nullptr, 0), 1);
  EXPECT_EQ(PutSjisChar(out, 0x82A0), 2);
  EXPECT_EQ(ToHex(std::string(out, 2)), "82 A0");
  EXPECT_EQ(PutSjisChar(out, 0), 1);
  EXPECT_EQ(out[0], '?');
  EXPECT_EQ(PutSjisChar(out, 0xB1), 1);
  EXPECT_EQ(static_cast<unsigned char>(out[0]), 0xB1);
}

TEST(BuildingBlocksTest, ReadUtf8Char) {
  struct Case {
    std::string bytes;
    std::uint16_t unit;
    int length;
  };
  const Case cases[] = {
      {"A", 0x41, 1},
      {Hex("C3 A9"), 0xE9, 2},
      {Hex("E3 81 82"), 0x3042, 3},
      {Hex("F0 9F 98 80"), 0xFFFF, 4},
      {Hex("F8 88 80 80 80"), 0xFFFF, 5},
      {Hex("FC 84 80 80 80 80"), 0xFFFF, 6},
      {Hex("E3 41 42"), 0x3042, 3},  // continuation bytes are taken without a test of their form
      {Hex("80"), 0x80, 1},
  };
  for (const auto& c : cases) {
    int length = 0;
    EXPECT_EQ(ReadUtf8Char(reinterpret_cast<const unsigned char*>(c.bytes.c_str()), length), c.unit)
        << ToHex(c.bytes);
    EXPECT_EQ(length, c.length) << ToHex(c.bytes);
  }
  int length = 0;
  const std::string cut = Hex("E3 81");
  EXPECT_EQ(ReadUtf8Char(reinterpret_cast<const unsigned char*>(cut.c_str()), length), 0);
}

// The C forms: measure with no buffer, convert with the measured size + 4, refuse a smaller limit.
TEST(MeasureThenConvertTest, JisAndEucKeepTheContract) {
  struct Case {
    const char* name;
    int (*convert)(char*, const char*, int);
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"jis", JisToSjis, "a" + kJisAiu + "b", "a" + kSjisAiu + "b"},
      {"euc", EucToSjis, "a" + kEucAiu + Hex("8E B1"), "a" + kSjisAiu + Hex("B1")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int n = c.convert(nullptr, c.in.c_str(), 0);
    ASSERT_EQ(n, static_cast<int>(c.out.size()));
    std::vector<char> buffer(n + 4, '\x55');
    EXPECT_EQ(c.convert(buffer.data(), c.in.c_str(), n + 4), n);
    EXPECT_EQ(std::string(buffer.data(), n + 1), c.out + std::string(1, '\0'));
    // Too small: stops before the character that would reach the limit, and says so.
    std::vector<char> small(n + 2, '\x55');
    EXPECT_EQ(c.convert(small.data(), c.in.c_str(), n), -1);
    EXPECT_EQ(small[n], '\x55');
    EXPECT_EQ(small[n + 1], '\x55');
  }
}

TEST(MeasureThenConvertTest, Utf8ToUcs2ThenUcs2ToSjis) {
  const std::string in = "a" + kUtf8Aiu + Hex("F0 9F 98 80");
  const int units = Utf8ToUcs2(nullptr, in.c_str(), 0);
  ASSERT_EQ(units, 5);
  std::vector<std::uint16_t> buffer(units + 4, 0x5555);
  EXPECT_EQ(Utf8ToUcs2(buffer.data(), in.c_str(), units + 4), units);
  EXPECT_EQ(buffer[units], 0);
  EXPECT_EQ(buffer[1], 0x3042);
  EXPECT_EQ(buffer[4], 0x003F);
  std::vector<std::uint16_t> small(units, 0x5555);
  EXPECT_EQ(Utf8ToUcs2(small.data(), in.c_str(), units), -1);

  const int bytes = Ucs2ToSjis(nullptr, buffer.data(), 0);
  ASSERT_EQ(bytes, 8);
  std::vector<char> out(bytes + 4, '\x55');
  EXPECT_EQ(Ucs2ToSjis(out.data(), buffer.data(), bytes + 4), bytes);
  EXPECT_EQ(std::string(out.data()), "a" + kSjisAiu + "?");
}

TEST(SafeFormsTest, StopAtTheFirstZeroLikeTheBuffers) {
  EXPECT_EQ(JisToSjis(kJisAiu + std::string(1, '\0') + "tail"), kSjisAiu);
  EXPECT_EQ(EucToSjis(kEucAiu + std::string(1, '\0') + "tail"), kSjisAiu);
  EXPECT_EQ(Utf8ToSjis(kUtf8Aiu + std::string(1, '\0') + "tail"), kSjisAiu);
  EXPECT_EQ(Utf8ToUcs2(kUtf8Aiu), u"\u3042\u3044\u3046");
  EXPECT_EQ(Ucs2ToSjis(u"\u3042\u0000\u3044"), Hex("82 A0"));
  EXPECT_EQ(Utf8ToSjis(Hex("41 C0 80 42")), "A");  // an overlong zero reads as the end, as designed
}

}  // namespace
}  // namespace rirevar
