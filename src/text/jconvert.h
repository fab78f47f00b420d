// Detection of and conversion between the three Japanese codes (JIS, Shift-JIS, EUC-JP),
// and line-break detection and conversion. Pure functions over byte strings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rirevar {

enum JapaneseCode : int {
  CODE_ASCII = 0,
  CODE_BINARY = 1,
  CODE_JIS = 2,
  CODE_JIS78 = 3,
  CODE_EUC = 4,
  CODE_SJIS = 5,
  CODE_EUC_OR_SJIS = 6,
};

enum ReturnCode : int {
  RC_NONE = 0,
  RC_CRLF = 1,
  RC_CR = 2,
  RC_LF = 3,
};

// Bounds the control-byte pass of InCodeCheck. Public so that a caller may change it.
extern std::int32_t STRICT_CHECK_LEN;

// JIS X 0208 codes of the half-width katakana 0xA1-0xDF, indexed by the byte with its top bit cleared
// (entries 0x00-0x20 and 0x60-0x7F are unused and 0).
extern const std::uint16_t KanaToJisTable[128];

[[nodiscard]] int InCodeCheck(std::string_view text);

[[nodiscard]] std::string ConvertJCode(std::string_view text, int target);
[[nodiscard]] std::string StrictConvertJCode(std::string_view text, int source, int target);

[[nodiscard]] std::string ToSjis(unsigned char first, unsigned char second);
[[nodiscard]] std::string ToJis(unsigned char first, unsigned char second);

[[nodiscard]] std::string sjis2jis83(std::string_view text);
[[nodiscard]] std::string euc2jis83(std::string_view text);
[[nodiscard]] std::string jis2sjis(std::string_view text);
[[nodiscard]] std::string jis2euc(std::string_view text);
[[nodiscard]] std::string euc2sjis(std::string_view text);
[[nodiscard]] std::string sjis2euc(std::string_view text);

// One half-width katakana at `position` (0-based; EucKanaToJis expects the 0x8E before it), with a
// voiced or semi-voiced mark it absorbs, appended to `out` as its JIS X 0208 code. Advances
// `position` past the last byte read.
void SjisKanaToJis(std::string_view text, std::size_t& position, std::string& out);
void EucKanaToJis(std::string_view text, std::size_t& position, std::string& out);

[[nodiscard]] int ReturnCodeCheck(std::string_view text);
[[nodiscard]] std::string ConvertReturnCode(std::string_view text, int target);
[[nodiscard]] std::string StrictConvertReturnCode(std::string_view text, int source, int target);

}  // namespace rirevar
