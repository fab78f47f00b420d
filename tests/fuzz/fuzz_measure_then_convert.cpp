// The converters are called twice: once to measure, once with the measured size + 4. That must
// always suffice, a smaller limit must be refused without writing past it, and the safe forms
// must give the same text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "text/incoming_text.h"

namespace {

template <typename Convert>
void Check(const char* in, const std::string& safe, Convert convert) {
  const int n = convert(nullptr, in, 0);
  if (n < 0 || n != static_cast<int>(safe.size())) __builtin_trap();
  // Exactly sized, so that AddressSanitizer sees any byte written past the limit.
  std::unique_ptr<char[]> out(new char[n + 4]);
  if (convert(out.get(), in, n + 4) != n) __builtin_trap();
  if (out[n] != '\0' || std::memcmp(out.get(), safe.data(), n) != 0) __builtin_trap();
  if (n > 0) {
    std::unique_ptr<char[]> small(new char[n]);
    if (convert(small.get(), in, n) != -1) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const char* in = text.c_str();
  Check(in, rirevar::JisToSjis(text), [](char* out, const char* p, int limit) {
    return rirevar::JisToSjis(out, p, limit);
  });
  Check(in, rirevar::EucToSjis(text), [](char* out, const char* p, int limit) {
    return rirevar::EucToSjis(out, p, limit);
  });

  const int units = rirevar::Utf8ToUcs2(nullptr, in, 0);
  std::unique_ptr<std::uint16_t[]> buffer(new std::uint16_t[units + 4]);
  if (rirevar::Utf8ToUcs2(buffer.get(), in, units + 4) != units) __builtin_trap();
  if (buffer[units] != 0) __builtin_trap();
  if (units > 0) {
    std::unique_ptr<std::uint16_t[]> small(new std::uint16_t[units]);
    if (rirevar::Utf8ToUcs2(small.get(), in, units) != -1) __builtin_trap();
  }
  const std::u16string safeUnits = rirevar::Utf8ToUcs2(text);
  if (safeUnits.size() != static_cast<std::size_t>(units) ||
      std::memcmp(safeUnits.data(), buffer.get(), units * 2) != 0) {
    __builtin_trap();
  }
  const std::uint16_t* unitsIn = buffer.get();
  Check(reinterpret_cast<const char*>(unitsIn), rirevar::Utf8ToSjis(text),
        [](char* out, const char* p, int limit) {
          return rirevar::Ucs2ToSjis(out, reinterpret_cast<const std::uint16_t*>(p), limit);
        });
  return 0;
}
