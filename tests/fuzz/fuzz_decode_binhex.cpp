// BinHex decoding of any text, and the round trip through the encoder.
#include <cstddef>
#include <cstdint>
#include <string>

#include "text/transfer_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  (void)rirevar::DecodeBinHex(input);
  if (rirevar::DecodeBinHex(rirevar::EncodeBinHex(input, "\r\n")) != input) __builtin_trap();
  if (rirevar::DecodeBinHex(rirevar::EncodeBinHex(input, "\n")) != input) __builtin_trap();
  return 0;
}
