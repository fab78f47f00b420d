// The quoted-printable C form, reading exactly `length` bytes into a buffer of exactly `length`
// bytes, against the safe form.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "text/transfer_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > static_cast<size_t>(INT32_MAX)) return 0;
  const char* text = reinterpret_cast<const char*>(data);
  const std::unique_ptr<char[]> out(new char[size]);
  const int written = rirevar::DecodeQuotedPrintable(text, static_cast<int>(size), out.get());
  const std::string safe = rirevar::DecodeQuotedPrintable(std::string_view(text, size));
  if (written < 0 || static_cast<size_t>(written) > size) __builtin_trap();
  if (safe.size() != static_cast<size_t>(written)) __builtin_trap();
  if (std::memcmp(out.get(), safe.data(), safe.size()) != 0) __builtin_trap();
  return 0;
}
