// UU decoding of any text, and the round trip through the encoder.
#include <cstddef>
#include <cstdint>
#include <string>

#include "text/transfer_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  (void)rirevar::DecodeUU(input);
  if (rirevar::DecodeUU(rirevar::EncodeUU(input, "\r\n")) != input) __builtin_trap();
  if (rirevar::DecodeUU(rirevar::EncodeUU(input, "\n")) != input) __builtin_trap();
  return 0;
}
