#include "text/sjis_unicode.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "text/sjis_tables.h"
#include "text/sjis_unicode_tables.h"

namespace rirevar {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
// An input unit that is no character (invalid UTF-8, a lone surrogate); typed as "?".
constexpr char32_t kNotCharacter = 0xFFFFFFFF;

int LeadIndex(unsigned char byte) {
  if (byte >= 0x81 && byte <= 0x9F) return byte - 0x81;
  if (byte >= 0xE0 && byte <= 0xFC) return byte - 0xE0 + 0x1F;
  return -1;
}

// Calls emit with each code point the bytes show.
template <typename Emit>
void ShowSjis(std::string_view sjis, Emit emit) {
  for (std::size_t i = 0; i < sjis.size(); ++i) {
    const auto byte = static_cast<unsigned char>(sjis[i]);
    const int lead = LeadIndex(byte);
    if (lead < 0) {
      emit(SjisSingleByteShown[byte]);
      continue;
    }
    std::uint32_t shown = 0;
    if (i + 1 < sjis.size()) {
      const auto trail = static_cast<unsigned char>(sjis[i + 1]);
      if (trail >= 0x40 && trail <= 0xFC) {
        shown = SjisTwoByteShown[lead * kSjisTrailCount + (trail - 0x40)];
      }
    }
    if (shown == 0) {
      // Only the lead byte is spent, so a broken pair cannot swallow the ASCII byte after it.
      emit(kReplacement);
      continue;
    }
    ++i;
    if (shown & kSjisShownPairFlag) {
      const SjisPair& pair = SjisPairs[shown & ~kSjisShownPairFlag];
      emit(pair.first);
      emit(pair.second);
    } else {
      emit(static_cast<char32_t>(shown));
    }
  }
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
    return;
  }
  c -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | c >> 6));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | c >> 12));
    out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | c >> 18));
    out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::vector<char32_t> Utf16Characters(std::u16string_view text) {
  std::vector<char32_t> chars;
  chars.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      chars.push_back(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      chars.push_back(kNotCharacter);
    } else {
      chars.push_back(unit);
    }
  }
  return chars;
}

// Well-formed sequences only (no overlong forms, surrogates or values past U+10FFFF); each
// maximal ill-formed part becomes one kNotCharacter, and the byte that broke it is read afresh.
std::vector<char32_t> Utf8Characters(std::string_view utf8) {
  std::vector<char32_t> chars;
  chars.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto first = static_cast<unsigned char>(utf8[i++]);
    if (first < 0x80) {
      chars.push_back(first);
      continue;
    }
    int more = 0;
    char32_t c = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (first >= 0xC2 && first <= 0xDF) {
      more = 1;
      c = first & 0x1F;
    } else if (first >= 0xE0 && first <= 0xEF) {
      more = 2;
      c = first & 0x0F;
      if (first == 0xE0) low = 0xA0;
      if (first == 0xED) high = 0x9F;
    } else if (first >= 0xF0 && first <= 0xF4) {
      more = 3;
      c = first & 0x07;
      if (first == 0xF0) low = 0x90;
      if (first == 0xF4) high = 0x8F;
    } else {
      chars.push_back(kNotCharacter);
      continue;
    }
    for (; more > 0 && i < utf8.size(); --more, ++i) {
      const auto next = static_cast<unsigned char>(utf8[i]);
      if (next < low || next > high) break;
      c = c << 6 | (next & 0x3F);
      low = 0x80;
      high = 0xBF;
    }
    chars.push_back(more == 0 ? c : kNotCharacter);
  }
  return chars;
}

std::uint16_t PairCode(char32_t first, char32_t second) {
  const auto it = std::lower_bound(
      SjisPairs.begin(), SjisPairs.end(), std::pair{first, second},
      [](const SjisPair& pair, const std::pair<char32_t, char32_t>& wanted) {
        return std::pair<char32_t, char32_t>{pair.first, pair.second} < wanted;
      });
  return it != SjisPairs.end() && it->first == first && it->second == second ? it->code : 0;
}

std::uint16_t TypedCode(char32_t c) {
  const auto it =
      std::lower_bound(SjisTypedExceptions.begin(), SjisTypedExceptions.end(), c,
                       [](const SjisTypedCode& entry, char32_t wanted) {
                         return entry.character < wanted;
                       });
  if (it != SjisTypedExceptions.end() && it->character == c) return it->code;
  if (c >= 0x10000) return 0;
  const std::uint16_t* page = UnicodeToSjisPages[c >> 8];
  return page != nullptr ? page[c & 0xFF] : 0;
}

std::string TypeCharacters(const std::vector<char32_t>& chars) {
  std::string out;
  out.reserve(chars.size() * 2);
  for (std::size_t i = 0; i < chars.size(); ++i) {
    // A zero byte is text like any other here, not the tables' "no character".
    if (chars[i] == 0) {
      out.push_back('\0');
      continue;
    }
    std::uint16_t code = i + 1 < chars.size() ? PairCode(chars[i], chars[i + 1]) : 0;
    if (code != 0) {
      ++i;
    } else {
      code = TypedCode(chars[i]);
    }
    if (code == 0) {
      out.push_back('?');
    } else if (code < 0x100) {
      out.push_back(static_cast<char>(code));
    } else {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    }
  }
  return out;
}

}  // namespace

std::u16string SjisToUtf16(std::string_view sjis) {
  std::u16string out;
  out.reserve(sjis.size());
  ShowSjis(sjis, [&out](char32_t c) { AppendUtf16(out, c); });
  return out;
}

std::string Utf16ToSjis(std::u16string_view text) {
  return TypeCharacters(Utf16Characters(text));
}

std::string SjisToUtf8(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size() * 3 / 2);
  ShowSjis(sjis, [&out](char32_t c) { AppendUtf8(out, c); });
  return out;
}

std::string Utf8ToSjisTyped(std::string_view utf8) {
  return TypeCharacters(Utf8Characters(utf8));
}

}  // namespace rirevar
