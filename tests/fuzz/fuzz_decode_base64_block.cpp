// The block decoder's C form, given a buffer of exactly the size it may fill, against its safe
// form; and Base64 round trips.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "text/transfer_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  // The C form reads a zero-terminated text.
  const std::string text = input.substr(0, input.find('\0'));

  const std::size_t capacity = text.size() / 4 * 3;
  const std::unique_ptr<char[]> out(new char[capacity]);
  const int result = rirevar::DecodeBase64Block(text.c_str(), out.get());
  const std::optional<std::string> safe = rirevar::DecodeBase64Block(text);
  if ((result == 0) != safe.has_value()) __builtin_trap();
  if (result == 0) {
    if (rirevar::DecodedLength < 0 || static_cast<std::size_t>(rirevar::DecodedLength) > capacity) {
      __builtin_trap();
    }
    if (static_cast<std::size_t>(rirevar::DecodedLength) != safe->size()) __builtin_trap();
    if (std::memcmp(out.get(), safe->data(), safe->size()) != 0) __builtin_trap();
  } else if (result != -2 || rirevar::DecodedLength != 0) {
    __builtin_trap();
  }

  (void)rirevar::DecodeBase64(input);

  const std::string encoded = rirevar::EncodeBase64(input);
  if (rirevar::DecodeBase64(encoded) != input) __builtin_trap();
  if (rirevar::DecodeBase64(rirevar::EncodeBase64R(input, "\r\n")) != input) __builtin_trap();
  if (!input.empty() && rirevar::DecodeBase64Block(encoded) != input) __builtin_trap();
  return 0;
}
