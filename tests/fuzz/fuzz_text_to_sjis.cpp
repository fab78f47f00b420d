#include <cstddef>
#include <cstdint>
#include <string>

#include "text/incoming_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  rirevar::TextToSjis(text);
  // No character read gives more than two bytes.
  if (text.size() > 2 * size + 1 && text != "Failed get text") __builtin_trap();
  return 0;
}
