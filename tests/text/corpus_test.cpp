// Agreement with independent converters (glibc iconv) on real Japanese prose: Debian's Japanese
// manual pages, made into one file at build time.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

#include "iconv_reference.h"
#include "test_support.h"
#include "text/incoming_text.h"
#include "text/jconvert.h"

namespace rirevar {
namespace {

using Iconv = test::IconvReference;
using test::ToHex;

std::vector<std::string> CorpusPages() {
  std::ifstream file(RIREVAR_CORPUS, std::ios::binary);
  std::stringstream all;
  all << file.rdbuf();
  const std::string text = all.str();
  std::vector<std::string> pages;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\f\n", start)) != std::string::npos; start = end + 2) {
    pages.push_back(text.substr(start, end - start));
  }
  return pages;
}

const std::vector<std::string>& Pages() {
  static const std::vector<std::string> pages = CorpusPages();
  return pages;
}

std::vector<std::string_view> Lines(std::string_view page) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < page.size()) {
    std::size_t end = page.find('\n', start);
    if (end == std::string_view::npos) end = page.size();
    lines.push_back(page.substr(start, end - start + (end < page.size() ? 1 : 0)));
    start = end + 1;
  }
  return lines;
}

bool HasHalfWidthKana(std::string_view sjis) {
  for (std::size_t i = 0; i < sjis.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(sjis[i]);
    if (c >= 0xA1 && c <= 0xDF) return true;
    if ((c >= 0x81 && c <= 0x9F) || c >= 0xE0) ++i;
  }
  return false;
}

class CorpusTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(Pages().size(), 1000u) << "the corpus " RIREVAR_CORPUS
                                        " is missing or short; scripts/setup installs manpages-ja";
  }
};

// Each line that code page 932 and ISO-2022-JP / EUC-JP can all carry, in those three forms.
struct Forms {
  std::string sjis;
  std::string jis;
  std::string euc;
  std::size_t lines = 0;
  std::size_t skipped = 0;
};

Forms CorpusForms() {
  Iconv toSjis("UTF-8", "CP932");
  Iconv toJis("CP932", "ISO-2022-JP");
  Iconv toEuc("CP932", "EUC-JP");
  Forms forms;
  for (const std::string& page : Pages()) {
    for (std::string_view line : Lines(page)) {
      const auto sjis = toSjis(line);
      const auto jis = sjis ? toJis(*sjis) : std::nullopt;
      const auto euc = sjis ? toEuc(*sjis) : std::nullopt;
      if (!jis || !euc) {
        ++forms.skipped;
        continue;
      }
      forms.sjis += *sjis;
      forms.jis += *jis;
      forms.euc += *euc;
      ++forms.lines;
    }
  }
  return forms;
}

TEST_F(CorpusTest, JisAndEucToSjisAgreeWithIconv) {
  const Forms forms = CorpusForms();
  ASSERT_GT(forms.lines, 100000u);
  EXPECT_LT(forms.skipped, forms.lines / 20) << "too few lines survive the reference conversions";
  Iconv jisToSjis("ISO-2022-JP", "CP932");
  Iconv eucToSjis("EUC-JP", "CP932");
  const auto expectedFromJis = jisToSjis(forms.jis);
  const auto expectedFromEuc = eucToSjis(forms.euc);
  ASSERT_TRUE(expectedFromJis && expectedFromEuc);
  EXPECT_TRUE(JisToSjis(forms.jis) == *expectedFromJis);
  EXPECT_TRUE(EucToSjis(forms.euc) == *expectedFromEuc);
  std::string viaDetection = forms.jis;
  TextToSjis(viaDetection);
  EXPECT_TRUE(viaDetection == *expectedFromJis);
}

TEST_F(CorpusTest, SjisToJisAndBackIsIdentity) {
  Iconv toSjis("UTF-8", "CP932");
  std::size_t checked = 0;
  for (const std::string& page : Pages()) {
    const auto sjis = toSjis(page);
    if (!sjis || HasHalfWidthKana(*sjis)) continue;
    const std::string jis = ConvertJCode(*sjis, CODE_JIS);
    ASSERT_TRUE(StrictConvertJCode(jis, CODE_JIS, CODE_SJIS) == *sjis);
    ++checked;
  }
  EXPECT_GT(checked, 1000u);
}

// The Unicode mapping that received text goes through: the published Shift_JISX0213 mapping
// (here glibc's), except where code page 932 or the system chose otherwise.
class ReferenceMapping {
 public:
  std::string operator()(char32_t c) {
    if (c > 0xFFFF) return "?";  // four-byte UTF-8 has no Shift-JIS form
    if (auto chosen = Chosen(c)) return *chosen;
    auto [at, inserted] = cache_.try_emplace(c);
    if (inserted) {
      const auto sjis = reference_(Utf8(c));
      at->second = sjis && !sjis->empty() ? *sjis : "?";
    }
    return at->second;
  }

 private:
  static std::optional<std::string> Chosen(char32_t c) {
    static const std::map<char32_t, std::string> chosen = {
        {0x005C, "\x5C"},         {0x007E, "\x7E"},         {0xFF5E, "\x81\x60"}, {0xFF0D, "\x81\x7C"},
        {0xFF3C, "\x81\x5F"},     {0xFFE0, "\x81\x91"},     {0xFFE1, "\x81\x92"}, {0xFFE2, "\x81\xCA"},
        {0x2225, "\x81\x61"},     {0x00B5, "\x83\xCA"},     {0x2211, "\x83\xB0"}, {0x203E, "?"},
        {0x2047, "?"},            {0x2051, "?"},            {0x2616, "?"},        {0x2617, "?"},
        {0x30FF, "?"},            {0x69EA, "?"},            {0x9B2D, "?"},        {0xFF02, "?"},
        {0xFF07, "?"},            {0x23CE, "?"},
        // glibc follows the 2004 edition of the mapping; received text follows the 2000 edition.
        {0x9B1D, "\xFC\x5A"},     {0x9B1C, "?"},            {0xFF5F, "?"},        {0xFF60, "?"},
        {0x4FF1, "?"},            {0x525D, "?"},            {0x541E, "?"},        {0x5653, "?"},
        {0x59F8, "?"},            {0x5C5B, "?"},            {0x5E77, "?"},        {0x7626, "?"},
        {0x7E6B, "?"},
        // EM DASH and HORIZONTAL BAR both stand for the JIS dash: Macs write one, Windows the other.
        {0x2015, "\x81\x5C"},
    };
    static const std::pair<char32_t, char32_t> unmapped[] = {
        {0x23BE, 0x23CC}, {0x24EB, 0x24FE}, {0x303B, 0x303D}, {0x3095, 0x3096}, {0x309F, 0x30A0},
        {0x3251, 0x325F}, {0x32B1, 0x32BF}, {0xFA30, 0xFA6A}, {0x2900, 0x29FF}, {0x3100, 0x31FF},
        {0xFE00, 0xFEFF},
    };
    if (auto at = chosen.find(c); at != chosen.end()) return at->second;
    for (auto [first, last] : unmapped) {
      if (c >= first && c <= last) return "?";
    }
    return std::nullopt;
  }

  static std::string Utf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
  }

  Iconv reference_{"UTF-8", "SHIFT_JISX0213"};
  std::map<char32_t, std::string> cache_;
};

// Code points of well-formed UTF-8.
std::vector<char32_t> CodePoints(std::string_view utf8) {
  std::vector<char32_t> points;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    const int length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? b : b & (0x3F >> (length - 1));
    for (int k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    points.push_back(c);
    i += length;
  }
  return points;
}

TEST_F(CorpusTest, Utf8TextToSjisAgreesWithTheReferenceMapping) {
  ReferenceMapping reference;
  std::size_t converted = 0;
  for (const std::string& page : Pages()) {
    if (DetectCharset(page, static_cast<int>(page.size()) - 1) != CS_UTF8) continue;
    std::string expected;
    for (char32_t c : CodePoints(page)) expected += reference(c);
    std::string ours = page;
    TextToSjis(ours);
    if (ours != expected) {
      std::size_t at = 0;
      while (at < ours.size() && at < expected.size() && ours[at] == expected[at]) ++at;
      FAIL() << "first difference at byte " << at << ": ours "
             << ToHex(std::string_view(ours).substr(at, 8)) << ", reference "
             << ToHex(std::string_view(expected).substr(at, 8));
    }
    ++converted;
  }
  EXPECT_GT(converted, 1000u);
}

}  // namespace
}  // namespace rirevar
