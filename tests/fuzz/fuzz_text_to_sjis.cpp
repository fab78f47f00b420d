#include <cstddef>
#include <cstdint>
#include <string>

#include "text/incoming_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  rirevar::TextToSjis(text);
  // Every converter writes at most as many bytes as it reads.
  if (text.size() > size && text != "Failed get text") __builtin_trap();
  return 0;
}
