#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/incoming_text.h"

// The first byte chooses how far past the buffer the count reaches; positions there read as 0.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view buffer(reinterpret_cast<const char*>(data) + 1, size - 1);
  const int count = static_cast<int>(buffer.size()) - 4 + data[0] % 9;
  const std::uint16_t charset = rirevar::DetectCharset(buffer, count);
  switch (charset) {
    case rirevar::CS_ASCII: case rirevar::CS_JIS: case rirevar::CS_SJIS: case rirevar::CS_EUC:
    case rirevar::CS_UTF16: case rirevar::CS_UTF8: case rirevar::CS_UTF7: case rirevar::CS_UNKNOWN:
    case rirevar::CS_BINARY:
      return 0;
    default:
      __builtin_trap();
  }
}
