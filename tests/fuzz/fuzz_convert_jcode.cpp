#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/jconvert.h"

// The first byte chooses the source and the target; the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const int target = data[0] & 7;
  const int source = (data[0] >> 3) & 7;
  const int code = rirevar::InCodeCheck(text);
  if (code < rirevar::CODE_ASCII || code > rirevar::CODE_EUC_OR_SJIS) __builtin_trap();
  if (rirevar::ConvertJCode(text, target) != rirevar::StrictConvertJCode(text, code, target)) {
    __builtin_trap();
  }
  (void)rirevar::StrictConvertJCode(text, source, target);
  (void)rirevar::ConvertReturnCode(text, target & 3);
  (void)rirevar::StrictConvertReturnCode(text, source & 3, target & 3);
  // Shift-JIS without half-width kana survives the way to JIS and back.
  std::string sjis;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    const unsigned char lead = 0x81 + static_cast<unsigned char>(text[i]) % 0x1F;
    const unsigned char trail = 0x40 + static_cast<unsigned char>(text[i + 1]) % 0xBD;
    if (trail == 0x7F) continue;
    sjis.push_back(static_cast<char>(lead));
    sjis.push_back(static_cast<char>(trail));
  }
  if (rirevar::jis2sjis(rirevar::sjis2jis83(sjis)) != sjis) __builtin_trap();
  if (rirevar::euc2sjis(rirevar::sjis2euc(sjis)) != sjis) __builtin_trap();
  return 0;
}
