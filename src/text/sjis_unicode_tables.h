// Generated tables behind what the windows show and what the user types (tools/gen_sjis_tables.py
// writes them into sjis_tables.cpp; never edit that by hand).
#pragma once

#include <cstdint>
#include <span>

namespace rirevar {

// What each byte shows on its own; a lead byte shows U+FFFD.
extern const char16_t SjisSingleByteShown[256];

// Two-byte codes: lead bytes 0x81-0x9F then 0xE0-0xFC, each by trail bytes 0x40-0xFC.
constexpr int kSjisLeadCount = 60;
constexpr int kSjisTrailCount = 189;

// Each entry is a code point, kSjisShownPairFlag plus an index into SjisPairs, or 0 where the
// code is no character.
constexpr std::uint32_t kSjisShownPairFlag = 0x80000000;
extern const std::uint32_t SjisTwoByteShown[kSjisLeadCount * kSjisTrailCount];

// Codes that show as two code points, sorted by (first, second).
struct SjisPair {
  char16_t first;
  char16_t second;
  std::uint16_t code;
};
extern const std::span<const SjisPair> SjisPairs;

// Characters typed as something other than UnicodeToSjisPages gives, sorted by character: where
// that table's code would show another character, where it has none, and characters beyond the
// BMP.
struct SjisTypedCode {
  char32_t character;
  std::uint16_t code;
};
extern const std::span<const SjisTypedCode> SjisTypedExceptions;

}  // namespace rirevar
