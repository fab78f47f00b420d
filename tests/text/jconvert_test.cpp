#include "text/jconvert.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace rirevar {
namespace {

using test::Hex;
using test::ToHex;

const std::string kIn = Hex("1B 24 42");   // ESC $ B
const std::string kOut = Hex("1B 28 4A");  // ESC ( J
const std::string kAscii = Hex("1B 28 42");

struct CodeCase {
  const char* name;
  std::string text;
  int code;
};

class InCodeCheckTest : public testing::TestWithParam<CodeCase> {};

TEST_P(InCodeCheckTest, Detects) {
  EXPECT_EQ(InCodeCheck(GetParam().text), GetParam().code) << ToHex(GetParam().text);
}

std::string Ascii(std::size_t n) { return std::string(n, 'a'); }

INSTANTIATE_TEST_SUITE_P(
    Cases, InCodeCheckTest,
    testing::Values(
        CodeCase{"empty_is_ascii", "", CODE_ASCII},
        CodeCase{"one_high_byte_is_never_examined", Hex("82"), CODE_ASCII},
        CodeCase{"control_byte_last_is_never_examined", Hex("41 42 43 07"), CODE_ASCII},
        CodeCase{"zero_byte_early_is_binary_before_japanese", Hex("41 00 82 A0"), CODE_BINARY},
        CodeCase{"ff_byte_is_binary", Hex("41 FF 82 A0"), CODE_BINARY},
        CodeCase{"zero_at_600_after_decision_is_not_binary", Hex("82 A0") + Ascii(597) + Hex("00 41"),
                 CODE_SJIS},
        CodeCase{"zero_at_600_reached_before_decision_is_binary", Ascii(599) + Hex("00 82 A0"),
                 CODE_BINARY},
        CodeCase{"sjis_hiragana", Hex("82 A0"), CODE_SJIS},
        CodeCase{"euc_hiragana_alone_is_ambiguous", Hex("A4 A2"), CODE_EUC_OR_SJIS},
        CodeCase{"euc_lead_f0_to_fe_is_euc", Hex("F0 A1 41"), CODE_EUC},
        CodeCase{"euc_second_byte_f0_to_fe_is_euc", Hex("B0 F5 41"), CODE_EUC},
        CodeCase{"kana_lead_then_ascii_is_sjis", Hex("B1 41 42"), CODE_SJIS},
        CodeCase{"e0_lead_with_sjis_trail_is_sjis", Hex("E0 40"), CODE_SJIS},
        CodeCase{"e0_lead_with_fd_is_euc", Hex("E0 FD"), CODE_EUC},
        CodeCase{"e0_lead_with_ambiguous_trail", Hex("E0 A1"), CODE_EUC_OR_SJIS},
        CodeCase{"ss2_with_kana_is_ambiguous", Hex("8E B1"), CODE_EUC_OR_SJIS},
        CodeCase{"ss2_with_sjis_trail_is_sjis", Hex("8E 40"), CODE_SJIS},
        CodeCase{"lookahead_finds_sjis_lead", Hex("B0 E0 A1 A1 88 9F"), CODE_SJIS},
        CodeCase{"lookahead_finds_euc_byte", Hex("B0 E0 A1 A1 FE A1"), CODE_EUC},
        CodeCase{"lookahead_stops_below_40_then_continues", Hex("B0 E0 20 82 A0"), CODE_SJIS},
        CodeCase{"jis_1983_escape", kIn + Hex("24 22") + kOut, CODE_JIS},
        CodeCase{"jis_1978_escape", Hex("1B 24 40 24 22") + kOut, CODE_JIS78},
        CodeCase{"escape_before_sjis_makes_jis", kIn + Hex("82 A0"), CODE_JIS},
        CodeCase{"sjis_before_escape_stays_sjis", Hex("82 A0") + kIn, CODE_SJIS},
        CodeCase{"other_escape_changes_nothing", Hex("1B 28 49 41 42"), CODE_ASCII}),
    test::CaseName<CodeCase>);

TEST(InCodeCheckTest, StrictCheckLenBoundsTheControlBytePass) {
  const std::string text = Hex("82 A0 41 00 41");
  EXPECT_EQ(InCodeCheck(text), CODE_BINARY);
  const std::int32_t saved = STRICT_CHECK_LEN;
  STRICT_CHECK_LEN = 3;
  EXPECT_EQ(InCodeCheck(text), CODE_SJIS);
  STRICT_CHECK_LEN = saved;
}

TEST(JisArithmeticTest, KnownPairs) {
  EXPECT_EQ(ToSjis(0x21, 0x21), Hex("81 40"));
  EXPECT_EQ(ToSjis(0x21, 0x60), Hex("81 80"));
  EXPECT_EQ(ToSjis(0x24, 0x22), Hex("82 A0"));
  EXPECT_EQ(ToJis(0x88, 0x9F), Hex("30 21"));
  EXPECT_EQ(ToJis(0x82, 0xA0), Hex("24 22"));
}

TEST(JisArithmeticTest, ToJisUndoesToSjisOnEveryJisCode) {
  for (int j1 = 0x21; j1 <= 0x7E; ++j1) {
    for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
      const std::string sjis = ToSjis(j1, j2);
      const std::string jis = ToJis(sjis[0], sjis[1]);
      ASSERT_EQ(jis, std::string({static_cast<char>(j1), static_cast<char>(j2)})) << j1 << "," << j2;
    }
  }
}

struct ConvertCase {
  const char* name;
  std::string (*convert)(std::string_view);
  std::string in;
  std::string out;
};

class ConverterTest : public testing::TestWithParam<ConvertCase> {};

TEST_P(ConverterTest, Converts) {
  EXPECT_EQ(ToHex(GetParam().convert(GetParam().in)), ToHex(GetParam().out));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConverterTest,
    testing::Values(
        ConvertCase{"sjis_kana_absorbs_voiced_mark", sjis2jis83, Hex("B6 DE"), kIn + Hex("25 2C") + kOut},
        ConvertCase{"sjis_kana_u_with_voiced_mark_is_vu", sjis2jis83, Hex("B3 DE"), kIn + Hex("25 74") + kOut},
        ConvertCase{"sjis_kana_a_keeps_its_mark_separate", sjis2jis83, Hex("B1 DE"),
                    kIn + Hex("25 22 21 2B") + kOut},
        ConvertCase{"sjis_kana_ha_with_semi_voiced_mark", sjis2jis83, Hex("CA DF"), kIn + Hex("25 51") + kOut},
        ConvertCase{"sjis_kana_ka_keeps_semi_voiced_mark", sjis2jis83, Hex("B6 DF"),
                    kIn + Hex("25 2B 21 2C") + kOut},
        ConvertCase{"sjis_kana_symbols_go_to_row_21", sjis2jis83, Hex("A1 A5 B0"),
                    kIn + Hex("21 23 21 26 21 3C") + kOut},
        ConvertCase{"sjis_escapes_around_a_line_break", sjis2jis83, Hex("82 A0 0D 0A 82 A2"),
                    kIn + Hex("24 22") + kOut + Hex("0D 0A") + kIn + Hex("24 24") + kOut},
        ConvertCase{"sjis_ascii_only_has_no_escape", sjis2jis83, "abc", "abc"},
        ConvertCase{"sjis_lone_lead_byte_pairs_with_zero", sjis2jis83, Hex("41 88"),
                    Hex("41") + kIn + ToJis(0x88, 0x00) + kOut},
        ConvertCase{"euc_kana_absorbs_voiced_mark", euc2jis83, Hex("8E B6 8E DE"), kIn + Hex("25 2C") + kOut},
        ConvertCase{"euc_kana_keeps_unabsorbed_mark", euc2jis83, Hex("8E B1 8E DE"),
                    kIn + Hex("25 22 21 2B") + kOut},
        ConvertCase{"euc_pair_drops_top_bits", euc2jis83, Hex("41 A4 A2 0A"), Hex("41") + kIn + Hex("24 22") + kOut + Hex("0A")},
        ConvertCase{"jis_to_sjis", jis2sjis, Hex("41") + kIn + Hex("24 22 24 24") + kAscii + Hex("42"),
                    Hex("41 82 A0 82 A2 42")},
        ConvertCase{"jis_old_escape_is_two_byte_too", jis2sjis, Hex("1B 24 40 24 22"), Hex("82 A0")},
        ConvertCase{"jis_escape_cut_short_ends_output", jis2sjis, Hex("41 1B 24"), Hex("41")},
        ConvertCase{"jis_lone_first_byte_pairs_with_zero", jis2sjis, kIn + Hex("24"), ToSjis(0x24, 0x00)},
        ConvertCase{"jis_output_cut_at_first_zero", jis2sjis, Hex("41 00 42"), Hex("41")},
        ConvertCase{"jis_two_byte_mode_pairs_control_bytes", jis2sjis, kIn + Hex("0D 0A"), ToSjis(0x0D, 0x0A)},
        ConvertCase{"jis_to_euc", jis2euc, Hex("41") + kIn + Hex("24 22") + kOut + Hex("42"), Hex("41 A4 A2 42")},
        ConvertCase{"jis_to_euc_one_escape_per_step", jis2euc, kIn + kAscii + Hex("41"), Hex("1B A8 C2 C1")},
        ConvertCase{"jis_to_euc_copies_controls_in_two_byte_mode", jis2euc, kIn + Hex("0A 24"), Hex("0A A4")},
        ConvertCase{"euc_to_sjis", euc2sjis, Hex("41 A4 A2"), Hex("41 82 A0")},
        ConvertCase{"euc_half_width_kana_stays_half_width", euc2sjis, Hex("8E B1"), Hex("B1")},
        ConvertCase{"euc_80_and_ff_are_copied", euc2sjis, Hex("80 FF"), Hex("80 FF")},
        ConvertCase{"sjis_to_euc", sjis2euc, Hex("41 82 A0"), Hex("41 A4 A2")},
        ConvertCase{"sjis_to_euc_half_width_kana", sjis2euc, Hex("B1"), Hex("8E B1")}),
    test::CaseName<ConvertCase>);

// Every JIS X 0208 code position as Shift-JIS text, row by row, with line breaks between rows.
std::string AllJis0208AsSjis() {
  std::string text;
  for (int row = 0x21; row <= 0x7E; ++row) {
    for (int cell = 0x21; cell <= 0x7E; ++cell) text += ToSjis(row, cell);
    text += "\r\n";
  }
  return text;
}

TEST(ConvertJCodeTest, SjisToJisAndBackIsIdentityOnEveryJis0208Character) {
  const std::string sjis = AllJis0208AsSjis();
  const std::string jis = ConvertJCode(sjis, CODE_JIS);
  EXPECT_EQ(InCodeCheck(jis), CODE_JIS);
  EXPECT_EQ(ConvertJCode(jis, CODE_SJIS), sjis);
}

TEST(ConvertJCodeTest, SjisToEucAndBackIsIdentityOnEveryJis0208Character) {
  const std::string sjis = AllJis0208AsSjis();
  const std::string euc = ConvertJCode(sjis, CODE_EUC);
  EXPECT_EQ(StrictConvertJCode(euc, CODE_EUC, CODE_SJIS), sjis);
  EXPECT_EQ(StrictConvertJCode(euc, CODE_EUC, CODE_JIS), ConvertJCode(sjis, CODE_JIS));
}

TEST(ConvertJCodeTest, DispatchByDetectedSourceAndTarget) {
  const std::string sjis = Hex("82 A0 82 A2");
  const std::string jis = kIn + Hex("24 22 24 24") + kOut;
  const std::string euc = Hex("F0 A1") + Hex("A4 A2");  // F0 makes it EUC-JP
  EXPECT_EQ(ConvertJCode(sjis, CODE_JIS), jis);
  EXPECT_EQ(ConvertJCode(jis, CODE_SJIS), sjis);
  EXPECT_EQ(ConvertJCode(jis, CODE_EUC), Hex("A4 A2 A4 A4"));
  EXPECT_EQ(ConvertJCode(euc, CODE_SJIS), ToSjis(0x70, 0x21) + Hex("82 A0"));
  EXPECT_EQ(ConvertJCode(jis, CODE_JIS), jis);
}

TEST(ConvertJCodeTest, LeavesUnconvertibleTextUnchanged) {
  const std::string jis = kIn + Hex("24 22") + kOut;
  const std::string jis78 = Hex("1B 24 40 24 22") + kOut;
  EXPECT_EQ(ConvertJCode(jis, CODE_JIS78), jis);        // 3 is never produced
  EXPECT_EQ(ConvertJCode(jis, 9), jis);                 // unknown target
  EXPECT_EQ(ConvertJCode(jis78, CODE_JIS), jis78);      // old escapes pass to JIS output unchanged
  EXPECT_EQ(ConvertJCode(Hex("A4 A2"), CODE_SJIS), Hex("A4 A2"));  // ambiguous
  EXPECT_EQ(ConvertJCode("plain", CODE_JIS), "plain");
  EXPECT_EQ(ConvertJCode(Hex("00 82 A0"), CODE_JIS), Hex("00 82 A0"));  // binary
  EXPECT_EQ(ConvertJCode("", CODE_SJIS), "");
  EXPECT_EQ(ConvertJCode("x", CODE_SJIS), "x");
}

struct ReturnCase {
  const char* name;
  std::string text;
  int detected;
  int target;
  std::string converted;
};

class ReturnCodeTest : public testing::TestWithParam<ReturnCase> {};

TEST_P(ReturnCodeTest, DetectsAndConverts) {
  EXPECT_EQ(ReturnCodeCheck(GetParam().text), GetParam().detected);
  EXPECT_EQ(ToHex(ConvertReturnCode(GetParam().text, GetParam().target)), ToHex(GetParam().converted));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReturnCodeTest,
    testing::Values(
        ReturnCase{"none", "abc", RC_NONE, RC_LF, "abc"},
        ReturnCase{"crlf_to_lf", "a\r\nb\r\n", RC_CRLF, RC_LF, "a\nb\n"},
        ReturnCase{"lf_to_crlf", "a\nb\n", RC_LF, RC_CRLF, "a\r\nb\r\n"},
        ReturnCase{"cr_to_crlf", "a\rb", RC_CR, RC_CRLF, "a\r\nb"},
        ReturnCase{"cr_at_end_is_cr", "a\r", RC_CR, RC_LF, "a\n"},
        ReturnCase{"same_target_unchanged", "a\r\nb", RC_CRLF, RC_CRLF, "a\r\nb"},
        ReturnCase{"unknown_target_unchanged", "a\nb", RC_LF, 7, "a\nb"},
        ReturnCase{"mixed_crlf_first_keeps_lone_cr", "a\r\nb\rc", RC_CRLF, RC_LF, "a\nb\rc"},
        ReturnCase{"mixed_lf_first_keeps_crlf_whole", "a\nb\r\nc", RC_LF, RC_CRLF, "a\r\nb\r\nc"},
        ReturnCase{"mixed_cr_first_keeps_crlf_whole", "a\rb\r\nc", RC_CR, RC_LF, "a\nb\r\nc"}),
    test::CaseName<ReturnCase>);

TEST(ReturnCodeTest, StrictUsesTheGivenSource) {
  EXPECT_EQ(StrictConvertReturnCode("a\r\nb\nc", RC_LF, RC_CR), "a\r\nb\rc");
  EXPECT_EQ(StrictConvertReturnCode("a\nb", RC_NONE, RC_CRLF), "a\nb");
}

}  // namespace
}  // namespace rirevar
