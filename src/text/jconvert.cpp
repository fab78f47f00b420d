#include "text/jconvert.h"

namespace rirevar {

std::int32_t STRICT_CHECK_LEN = 512;

const std::uint16_t KanaToJisTable[128] = {
    // 0x00-0x1F: not kana
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0x20 (not kana), 0xA1-0xAF
    0, 0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521,
    0x2523, 0x2525, 0x2527, 0x2529, 0x2563, 0x2565, 0x2567, 0x2543,
    // 0xB0-0xBF
    0x213C, 0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B, 0x252D,
    0x252F, 0x2531, 0x2533, 0x2535, 0x2537, 0x2539, 0x253B, 0x253D,
    // 0xC0-0xCF
    0x253F, 0x2541, 0x2544, 0x2546, 0x2548, 0x254A, 0x254B, 0x254C,
    0x254D, 0x254E, 0x254F, 0x2552, 0x2555, 0x2558, 0x255B, 0x255E,
    // 0xD0-0xDF
    0x255F, 0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568, 0x2569,
    0x256A, 0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C,
    // 0xE0-0xFF: not kana
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

namespace {

constexpr unsigned char kEsc = 0x1B;
constexpr char kKanjiIn[] = "\x1b$B";
constexpr char kKanjiOut[] = "\x1b(J";

// Reading past the end of a text yields 0.
inline unsigned char At(std::string_view text, std::size_t index) {
  return index < text.size() ? static_cast<unsigned char>(text[index]) : 0;
}

inline void PutPair(std::string& out, unsigned char first, unsigned char second) {
  out.push_back(static_cast<char>(first));
  out.push_back(static_cast<char>(second));
}

inline void PutJisCode(std::string& out, std::uint16_t code) {
  PutPair(out, static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code));
}

inline unsigned char SjisFirst(unsigned char j1) {
  return static_cast<unsigned char>(((j1 + 1) >> 1) + (j1 < 0x5F ? 0x70 : 0xB0));
}
inline unsigned char SjisSecond(unsigned char j1, unsigned char j2) {
  if ((j1 & 1) == 0) return static_cast<unsigned char>(j2 + 0x7E);
  return static_cast<unsigned char>(j2 <= 0x5F ? j2 + 0x1F : j2 + 0x20);
}
inline unsigned char JisFirst(unsigned char s1, unsigned char s2) {
  int first = (s1 - (s1 < 0xA0 ? 0x70 : 0xB0)) * 2;
  if (s2 < 0x9F) --first;
  return static_cast<unsigned char>(first);
}
inline unsigned char JisSecond(unsigned char s2) {
  if (s2 >= 0x9F) return static_cast<unsigned char>(s2 - 0x7E);
  if (s2 > 0x7F) return static_cast<unsigned char>(s2 - 0x20);
  return static_cast<unsigned char>(s2 - 0x1F);
}

// Half-width kana `kana` followed by `mark`: the JIS X 0208 code, and whether the mark was absorbed.
std::uint16_t KanaCode(unsigned char kana, unsigned char mark, bool& absorbed) {
  const std::uint16_t code = KanaToJisTable[kana & 0x7F];
  absorbed = true;
  if (mark == 0xDE) {
    if (kana == 0xB3) return 0x2574;
    if ((kana >= 0xB6 && kana <= 0xC4) || (kana >= 0xCA && kana <= 0xCE)) return code + 1;
  } else if (mark == 0xDF && kana >= 0xCA && kana <= 0xCE) {
    return code + 2;
  }
  absorbed = false;
  return code;
}

// The common walk of sjis2jis83 and euc2jis83: one-byte text between two-byte runs, with the
// escapes switching around every run and before every line break.
template <bool kFromEuc>
std::string ToJis83(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 2 + 8);
  bool twoByte = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c > 0x7F) {
      if (!twoByte) {
        out += kKanjiIn;
        twoByte = true;
      }
      if (kFromEuc ? c == 0x8E : (c >= 0xA1 && c <= 0xDF)) {
        if constexpr (kFromEuc) {
          EucKanaToJis(text, i, out);
        } else {
          SjisKanaToJis(text, i, out);
        }
        continue;
      }
      const unsigned char d = At(text, i + 1);
      if constexpr (kFromEuc) {
        PutPair(out, c & 0x7F, d & 0x7F);
      } else {
        PutPair(out, JisFirst(c, d), JisSecond(d));
      }
      i += 2;
      continue;
    }
    if (twoByte) {
      out += kKanjiOut;
      twoByte = false;
    }
    out.push_back(static_cast<char>(c));
    ++i;
  }
  if (twoByte) out += kKanjiOut;
  return out;
}

// Skips the escape at `i` (ESC and the two bytes after it) and sets the mode it chooses.
// Returns false when the escape runs past the end of the text.
bool SkipEscape(std::string_view text, std::size_t& i, bool& twoByte) {
  const unsigned char selector = At(text, i + 1);
  if (selector == 0x24) twoByte = true;
  if (selector == 0x28) twoByte = false;
  i += 3;
  return i <= text.size();
}

std::string CutAtZero(std::string text) {
  const std::size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return text;
}

std::string_view BreakSequence(int code) {
  switch (code) {
    case RC_CRLF: return "\r\n";
    case RC_CR: return "\r";
    case RC_LF: return "\n";
    default: return {};
  }
}

}  // namespace

int InCodeCheck(std::string_view text) {
  const std::int64_t len = static_cast<std::int64_t>(text.size());
  // Positions count from 1 here, as the detection rules are stated.
  auto byteAt = [&](std::int64_t position) -> unsigned char {
    return position >= 1 && position <= len ? static_cast<unsigned char>(text[position - 1]) : 0;
  };
  for (std::int64_t position = 1; position <= STRICT_CHECK_LEN && position < len; ++position) {
    const unsigned char c = byteAt(position);
    if (c <= 0x07 || c == 0xFF) return CODE_BINARY;
  }
  int result = CODE_ASCII;
  std::int64_t position = 1;
  while ((result == CODE_ASCII || result == CODE_EUC_OR_SJIS) && position < len) {
    const unsigned char c = byteAt(position);
    if (c == kEsc) {
      if (byteAt(position + 1) == 0x24) {
        const unsigned char f = byteAt(position + 2);
        if (f == 0x42) result = CODE_JIS;
        if (f == 0x40) result = CODE_JIS78;
        position += 3;
      } else {
        position += 2;
      }
    } else if (c <= 0x07 || c == 0xFF) {
      result = CODE_BINARY;
      ++position;
    } else if ((c >= 0x81 && c <= 0x8D) || (c >= 0x8F && c <= 0x9F)) {
      result = CODE_SJIS;
      ++position;
    } else if (c == 0x8E) {
      const unsigned char d = byteAt(position + 1);
      if ((d >= 0x40 && d <= 0x7E) || (d >= 0x80 && d <= 0xA0) || (d >= 0xE0 && d <= 0xFC)) {
        result = CODE_SJIS;
      } else if (d >= 0xA1 && d <= 0xDF) {
        result = CODE_EUC_OR_SJIS;
      }
      position += 2;
    } else if (c >= 0xA1 && c <= 0xDF) {
      const unsigned char d = byteAt(position + 1);
      if (d >= 0xF0 && d <= 0xFE) {
        result = CODE_EUC;
      } else if (d >= 0xA1 && d <= 0xDF) {
        result = CODE_EUC_OR_SJIS;
      } else if (d <= 0x9F) {
        result = CODE_SJIS;
      } else if (d >= 0xE0 && d <= 0xEF) {
        result = CODE_EUC_OR_SJIS;
        // Look ahead until a byte tells the two codes apart or a byte below 0x40 ends the run.
        std::int64_t scan = position + 1;
        while (scan <= len && result == CODE_EUC_OR_SJIS) {
          const unsigned char b = byteAt(scan++);
          if (b < 0x40) break;
          if ((b >= 0x81 && b <= 0x8D) || (b >= 0x8F && b <= 0x9C)) result = CODE_SJIS;
          if (b == 0xFD || b == 0xFE) result = CODE_EUC;
        }
        position = scan;
        continue;
      }
      position += 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      const unsigned char d = byteAt(position + 1);
      if ((d >= 0x40 && d <= 0x7E) || (d >= 0x80 && d <= 0xA0)) {
        result = CODE_SJIS;
      } else if (d == 0xFD || d == 0xFE) {
        result = CODE_EUC;
      } else if (d >= 0xA1 && d <= 0xFC) {
        result = CODE_EUC_OR_SJIS;
      }
      position += 2;
    } else if (c >= 0xF0 && c <= 0xFE) {
      result = CODE_EUC;
      ++position;
    } else {
      ++position;
    }
  }
  return result;
}

std::string ToSjis(unsigned char first, unsigned char second) {
  std::string out;
  PutPair(out, SjisFirst(first), SjisSecond(first, second));
  return out;
}

std::string ToJis(unsigned char first, unsigned char second) {
  std::string out;
  PutPair(out, JisFirst(first, second), JisSecond(second));
  return out;
}

void SjisKanaToJis(std::string_view text, std::size_t& position, std::string& out) {
  bool absorbed = false;
  PutJisCode(out, KanaCode(At(text, position), At(text, position + 1), absorbed));
  position += absorbed ? 2 : 1;
}

void EucKanaToJis(std::string_view text, std::size_t& position, std::string& out) {
  const unsigned char mark = At(text, position + 2) == 0x8E ? At(text, position + 3) : 0;
  bool absorbed = false;
  PutJisCode(out, KanaCode(At(text, position + 1), mark, absorbed));
  position += absorbed ? 4 : 2;
}

std::string sjis2jis83(std::string_view text) { return ToJis83<false>(text); }

std::string euc2jis83(std::string_view text) { return ToJis83<true>(text); }

std::string jis2sjis(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool twoByte = false;
  std::size_t i = 0;
  while (i < text.size()) {
    bool inText = true;
    while (inText && i < text.size() && static_cast<unsigned char>(text[i]) == kEsc) {
      inText = SkipEscape(text, i, twoByte);
    }
    if (!inText || i >= text.size()) break;
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (twoByte) {
      const unsigned char d = At(text, i + 1);
      PutPair(out, SjisFirst(c), SjisSecond(c, d));
      i += 2;
    } else {
      out.push_back(static_cast<char>(c));
      ++i;
    }
  }
  return CutAtZero(std::move(out));
}

std::string jis2euc(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool twoByte = false;
  std::size_t i = 0;
  while (i < text.size()) {
    if (static_cast<unsigned char>(text[i]) == kEsc) {
      if (!SkipEscape(text, i, twoByte) || i >= text.size()) break;
    }
    const unsigned char c = static_cast<unsigned char>(text[i]);
    out.push_back(static_cast<char>(twoByte && c >= 0x21 && c <= 0x7E ? (c | 0x80) : c));
    ++i;
  }
  return out;
}

std::string euc2sjis(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c <= 0x80 || c == 0xFF) {
      out.push_back(static_cast<char>(c));
      ++i;
    } else if (c == 0x8E) {
      out.push_back(static_cast<char>(At(text, i + 1)));
      i += 2;
    } else {
      const unsigned char j1 = c & 0x7F;
      const unsigned char j2 = At(text, i + 1) & 0x7F;
      PutPair(out, SjisFirst(j1), SjisSecond(j1, j2));
      i += 2;
    }
  }
  return out;
}

std::string sjis2euc(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c <= 0x7F) {
      out.push_back(static_cast<char>(c));
      ++i;
    } else if (c >= 0xA1 && c <= 0xDF) {
      PutPair(out, 0x8E, c);
      ++i;
    } else {
      const unsigned char d = At(text, i + 1);
      PutPair(out, JisFirst(c, d) | 0x80, JisSecond(d) | 0x80);
      i += 2;
    }
  }
  return out;
}

std::string StrictConvertJCode(std::string_view text, int source, int target) {
  if (source == CODE_ASCII || source == CODE_BINARY || source == target ||
      source == CODE_EUC_OR_SJIS) {
    return std::string(text);
  }
  const bool fromJis = source == CODE_JIS || source == CODE_JIS78;
  switch (target) {
    case CODE_JIS:
      if (source == CODE_EUC) return euc2jis83(text);
      if (source == CODE_SJIS) return sjis2jis83(text);
      break;
    case CODE_EUC:
      if (fromJis) return jis2euc(text);
      if (source == CODE_SJIS) return sjis2euc(text);
      break;
    case CODE_SJIS:
      if (fromJis) return jis2sjis(text);
      if (source == CODE_EUC) return euc2sjis(text);
      break;
    default:
      break;
  }
  return std::string(text);
}

std::string ConvertJCode(std::string_view text, int target) {
  return StrictConvertJCode(text, InCodeCheck(text), target);
}

int ReturnCodeCheck(std::string_view text) {
  const std::size_t at = text.find_first_of("\r\n");
  if (at == std::string_view::npos) return RC_NONE;
  if (text[at] == '\n') return RC_LF;
  return At(text, at + 1) == '\n' ? RC_CRLF : RC_CR;
}

std::string StrictConvertReturnCode(std::string_view text, int source, int target) {
  const std::string_view from = BreakSequence(source);
  const std::string_view to = BreakSequence(target);
  if (from.empty() || to.empty() || source == target) return std::string(text);
  // Only breaks of the source kind change: in a text with mixed breaks the CR of a CR LF is not a
  // lone CR, and the LF of a CR LF is not a lone LF.
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    bool isBreak = false;
    if (source == RC_CRLF) {
      isBreak = c == '\r' && At(text, i + 1) == '\n';
    } else if (source == RC_CR) {
      isBreak = c == '\r' && At(text, i + 1) != '\n';
    } else {
      isBreak = c == '\n' && (i == 0 || text[i - 1] != '\r');
    }
    if (isBreak) {
      out += to;
      i += from.size();
    } else {
      out.push_back(c);
      ++i;
    }
  }
  return out;
}

std::string ConvertReturnCode(std::string_view text, int target) {
  return StrictConvertReturnCode(text, ReturnCodeCheck(text), target);
}

}  // namespace rirevar
