#include "text/sjis_tables.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <ostream>
#include <string>

namespace rirevar {
namespace {

std::uint16_t Lookup(char16_t unit) {
  const std::uint16_t* page = UnicodeToSjisPages[unit >> 8];
  return page != nullptr ? page[unit & 0xFF] : 0;
}

TEST(UnicodeToSjisPages, PagesPresentAreExactlyTheChosenOnes) {
  for (int high = 0; high < 256; ++high) {
    const bool expected = high <= 0x04 || (high >= 0x1E && high <= 0x27) || high == 0x30 ||
                          (high >= 0x32 && high <= 0x9F) || (high >= 0xF8 && high <= 0xFA) ||
                          high == 0xFF;
    EXPECT_EQ(UnicodeToSjisPages[high] != nullptr, expected) << "page " << std::hex << high;
  }
}

struct MappingCase {
  const char* name;
  char16_t unit;
  std::uint16_t code;
  friend void PrintTo(const MappingCase& c, std::ostream* os) { *os << c.name; }
};

class UnicodeToSjisMapping : public testing::TestWithParam<MappingCase> {};

TEST_P(UnicodeToSjisMapping, GivesTheChosenCode) {
  EXPECT_EQ(Lookup(GetParam().unit), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnicodeToSjisMapping,
    testing::Values(
        MappingCase{"AsciiLetter", u'A', 0x41},
        MappingCase{"HiraganaA", u'\u3042', 0x82A0},
        MappingCase{"IdeographicSpace", u'\u3000', 0x8140},
        MappingCase{"HalfWidthKatakana", u'\uFF71', 0xB1},
        MappingCase{"BackslashStaysSingleByte", u'\\', 0x5C},
        MappingCase{"TildeStaysSingleByte", u'~', 0x7E},
        MappingCase{"ControlU0080IsSingleByte", u'\u0080', 0x80},
        MappingCase{"YenSignIsBackslashByte", u'\u00A5', 0x5C},
        MappingCase{"WaveDashKeepsItsJisCode", u'\u301C', 0x8160},
        MappingCase{"FullWidthTildeAsWindows", u'\uFF5E', 0x8160},
        MappingCase{"DoubleVerticalLineKeepsItsJisCode", u'\u2016', 0x8161},
        MappingCase{"ParallelToAsWindows", u'\u2225', 0x8161},
        MappingCase{"MinusSignKeepsItsJisCode", u'\u2212', 0x817C},
        MappingCase{"FullWidthHyphenMinusAsWindows", u'\uFF0D', 0x817C},
        MappingCase{"FullWidthReverseSolidusAsWindows", u'\uFF3C', 0x815F},
        MappingCase{"FullWidthCentSignAsWindows", u'\uFFE0', 0x8191},
        MappingCase{"FullWidthPoundSignAsWindows", u'\uFFE1', 0x8192},
        MappingCase{"FullWidthNotSignAsWindows", u'\uFFE2', 0x81CA},
        MappingCase{"PrivateUseF8F0IsSingleByteA0", u'\uF8F0', 0xA0},
        MappingCase{"PrivateUseF8F3IsSingleByteFF", u'\uF8F3', 0xFF},
        MappingCase{"MicroSignIsGreekMu", u'\u00B5', 0x83CA},
        MappingCase{"NArySummationIsGreekSigma", u'\u2211', 0x83B0},
        MappingCase{"JisX0213OnlyKanjiPlane1", u'\u9DD7', 0xEFE3},
        MappingCase{"JisX0213OnlyKanjiPlane2", u'\u4E02', 0xF041},
        MappingCase{"OverlineHasNone", u'\u203E', 0},
        MappingCase{"DoubleQuestionMarkHasNone", u'\u2047', 0},
        MappingCase{"DentistrySymbolsHaveNone", u'\u23BE', 0},
        MappingCase{"DoubleCircledNumberHasNone", u'\u24FE', 0},
        MappingCase{"SmallHiraganaKaHasNone", u'\u3095', 0},
        MappingCase{"KatakanaDigraphKotoHasNone", u'\u30FF', 0},
        MappingCase{"CircledNumber21HasNone", u'\u3251', 0},
        MappingCase{"CircledNumber50HasNone", u'\u32BF', 0},
        MappingCase{"KanjiU69EAHasNone", u'\u69EA', 0},
        MappingCase{"KanjiU9B2DHasNone", u'\u9B2D', 0},
        MappingCase{"CompatibilityIdeographFA30HasNone", u'\uFA30', 0},
        MappingCase{"CompatibilityIdeographFA6AHasNone", u'\uFA6A', 0},
        MappingCase{"FullWidthQuotationMarkHasNone", u'\uFF02', 0},
        MappingCase{"FullWidthApostropheHasNone", u'\uFF07', 0},
        MappingCase{"ArrowOnDroppedPage29HasNone", u'\u2934', 0},
        MappingCase{"SmallKatakanaOnDroppedPage31HasNone", u'\u31F0', 0},
        MappingCase{"SesameDotOnDroppedPageFEHasNone", u'\uFE45', 0}),
    [](const testing::TestParamInfo<MappingCase>& info) { return info.param.name; });

// One character through glibc: JIS X 0212 in EUC-JP to UTF-8, then UTF-8 to Shift_JISX0213
// (glibc's carries the 2004 additions). Empty where either step has nothing.
class GlibcJis0212 {
 public:
  GlibcJis0212()
      : to_utf8_(iconv_open("UTF-8", "EUC-JP")), to_sjis_(iconv_open("SHIFT_JISX0213", "UTF-8")) {}
  ~GlibcJis0212() {
    if (to_utf8_ != kFailed) iconv_close(to_utf8_);
    if (to_sjis_ != kFailed) iconv_close(to_sjis_);
  }
  GlibcJis0212(const GlibcJis0212&) = delete;
  GlibcJis0212& operator=(const GlibcJis0212&) = delete;

  bool Available() const { return to_utf8_ != kFailed && to_sjis_ != kFailed; }

  std::string SjisOf(int row, int cell) {
    const std::string euc{'\x8F', static_cast<char>(row | 0x80), static_cast<char>(cell | 0x80)};
    return Convert(to_sjis_, Convert(to_utf8_, euc));
  }

 private:
  static inline const iconv_t kFailed = reinterpret_cast<iconv_t>(-1);

  static std::string Convert(iconv_t cd, const std::string& in) {
    if (in.empty()) return {};
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string input = in;
    char out[16];
    char* in_ptr = input.data();
    std::size_t in_left = input.size();
    char* out_ptr = out;
    std::size_t out_left = sizeof out;
    if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1) ||
        iconv(cd, nullptr, nullptr, &out_ptr, &out_left) == static_cast<std::size_t>(-1)) {
      return {};
    }
    return std::string(out, out_ptr);
  }

  iconv_t to_utf8_;
  iconv_t to_sjis_;
};

TEST(Jis0212Table, AgreesWithGlibcInEveryCell) {
  GlibcJis0212 glibc;
  if (!glibc.Available()) GTEST_SKIP() << "glibc iconv lacks EUC-JP or SHIFT_JISX0213";
  int filled = 0;
  for (int row = kJis0212FirstRow; row < kJis0212FirstRow + kJis0212Rows; ++row) {
    for (int cell = 0x21; cell <= 0x7E; ++cell) {
      const std::string sjis = glibc.SjisOf(row, cell);
      std::uint16_t expected = 0;
      if (sjis.size() == 2) {
        const auto lead = static_cast<unsigned char>(sjis[0]);
        if (lead == 0x87 || lead == 0x88 || lead == 0x98 || (lead >= 0xEA && lead <= 0xFC)) {
          expected = static_cast<std::uint16_t>(lead << 8 | static_cast<unsigned char>(sjis[1]));
        }
      }
      const std::uint16_t code =
          Jis0212Table[kJis0212Cells * (row - kJis0212FirstRow) + (cell - 0x21)];
      EXPECT_EQ(code, expected) << std::hex << "JIS X 0212 " << row << cell;
      filled += code != 0;
    }
  }
  EXPECT_EQ(filled, 2743);
}

struct Jis0212Case {
  const char* name;
  int row;
  int cell;
  std::uint16_t code;
  friend void PrintTo(const Jis0212Case& c, std::ostream* os) { *os << c.name; }
};

class Jis0212Cells : public testing::TestWithParam<Jis0212Case> {};

TEST_P(Jis0212Cells, HoldsTheShiftJis2004Code) {
  const Jis0212Case& c = GetParam();
  EXPECT_EQ(Jis0212Table[kJis0212Cells * (c.row - kJis0212FirstRow) + (c.cell - 0x21)], c.code);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Jis0212Cells,
    testing::Values(Jis0212Case{"FirstKanjiRow", 0x30, 0x21, 0xF041},
                    Jis0212Case{"FirstKanjiRowCellJisX0213Lacks", 0x30, 0x22, 0},
                    Jis0212Case{"SecondKanjiRow", 0x31, 0x21, 0xF06B},
                    Jis0212Case{"CellJisX0213Lacks", 0x31, 0x22, 0},
                    Jis0212Case{"Addition2004Sou", 0x4D, 0x77, 0xEFFB},
                    Jis0212Case{"Addition2004Kei", 0x54, 0x5A, 0xEFFC},
                    Jis0212Case{"Addition2004InPlane2", 0x6A, 0x2E, 0xFC5A},
                    Jis0212Case{"LastKanjiHasNoJisX0213Code", 0x6D, 0x63, 0},
                    Jis0212Case{"UnassignedCellIsEmpty", 0x6D, 0x7E, 0}),
    [](const testing::TestParamInfo<Jis0212Case>& info) { return info.param.name; });

}  // namespace
}  // namespace rirevar
