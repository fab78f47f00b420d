#include "text/incoming_text.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <exception>
#include <memory>

#include "text/sjis_tables.h"

namespace rirevar {

namespace {

// Output sinks of the converters. Each converter is written once, over a sink, so that measuring
// and converting can never disagree: the measured size + 4 always suffices.
struct CountSink {
  int length = 0;
  bool Put(std::uint16_t code) {
    length += PutSjisChar(nullptr, code);
    return true;
  }
  bool PutByte(unsigned char) {
    ++length;
    return true;
  }
};

struct BufferSink {
  char* out;
  int limit;
  int length = 0;
  bool Put(std::uint16_t code) {
    const int size = PutSjisChar(nullptr, code);
    if (length + size >= limit) return false;
    length += PutSjisChar(out + length, code);
    return true;
  }
  bool PutByte(unsigned char byte) {
    if (length + 1 >= limit) return false;
    out[length++] = static_cast<char>(byte);
    return true;
  }
};

// Writes into a buffer sized for the worst case: no character read gives more than two bytes.
class StringSink {
 public:
  explicit StringSink(std::size_t inputBytes)
      : buffer_(new char[2 * inputBytes + 2]), at_(buffer_.get()) {}
  // Branch-free, since one- and two-byte codes alternate in Japanese text; a one-byte code
  // writes a spare byte after itself, which the bound leaves room for.
  bool Put(std::uint16_t code) {
    const unsigned c = code == 0 ? '?' : code;
    const bool two = c >= 0x100;
    at_[0] = static_cast<char>(two ? c >> 8 : c);
    at_[1] = static_cast<char>(c);
    at_ += 1 + two;
    return true;
  }
  bool PutByte(unsigned char byte) {
    *at_++ = static_cast<char>(byte);
    return true;
  }
  void PutWord(std::uint64_t eightBytes) {
    std::memcpy(at_, &eightBytes, sizeof eightBytes);
    at_ += sizeof eightBytes;
  }
  std::string Take() const { return std::string(buffer_.get(), at_); }

 private:
  std::unique_ptr<char[]> buffer_;
  char* at_;
};

// The C forms' result: the length, or -1 when the limit stopped them; the output is terminated.
int Finish(BufferSink& sink, bool complete) {
  if (sink.length < sink.limit) sink.out[sink.length] = '\0';
  return complete ? sink.length : -1;
}

constexpr std::uint64_t kLowBits = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
constexpr std::uint64_t kEscBytes = 0x1B * kLowBits;

inline bool HasZeroByte(std::uint64_t w) { return ((w - kLowBits) & ~w & kHighBits) != 0; }

// Bytes the fast path leaves to the full step: a zero, ESC, and a line break before a zero.
inline bool IsRareForDetection(unsigned char b, unsigned char next) {
  return b == 0 || b == 0x1B || ((b == '\r' || b == '\n') && next == 0);
}

template <typename Run>
int RunCForm(char* out, int limit, Run run) {
  if (out == nullptr) {
    CountSink sink;
    run(sink);
    return sink.length;
  }
  if (limit <= 0) return -1;
  BufferSink sink{out, limit};
  return Finish(sink, run(sink));
}

enum class JisMode { Ascii, Roman, Kana, X0208, X0213Plane1, X0213Plane2, X0212 };

// Converts [p, end) where end is the first zero byte. Returns false when the sink refused.
template <typename Sink>
bool ConvertJis(const unsigned char* p, const unsigned char* end, Sink& sink) {
  auto at = [&](const unsigned char* q) -> unsigned char { return q < end ? *q : 0; };
  JisMode mode = JisMode::Ascii;
  while (p < end) {
    const unsigned char b = *p;
    if (b == 0x1B) {
      const unsigned char b1 = at(p + 1);
      const unsigned char b2 = at(p + 2);
      if (b1 == '$' && b2 == '(') {
        const unsigned char b3 = at(p + 3);
        if (b3 == 'O' || b3 == 'P' || b3 == 'D') {
          mode = b3 == 'O' ? JisMode::X0213Plane1 : b3 == 'P' ? JisMode::X0213Plane2 : JisMode::X0212;
          p += 4;
          continue;
        }
      } else if (b1 == '$' && (b2 == 'B' || b2 == '@')) {
        mode = JisMode::X0208;
        p += 3;
        continue;
      } else if (b1 == '(' && (b2 == 'B' || b2 == 'J' || b2 == 'I')) {
        mode = b2 == 'B' ? JisMode::Ascii : b2 == 'J' ? JisMode::Roman : JisMode::Kana;
        p += 3;
        continue;
      }
      if (!sink.PutByte(b)) return false;
      ++p;
      continue;
    }
    if (b == 0x0E && mode == JisMode::Roman) {
      mode = JisMode::Kana;
      ++p;
      continue;
    }
    if (b == 0x0F && mode == JisMode::Kana) {
      mode = JisMode::Roman;
      ++p;
      continue;
    }
    if (b < 0x21 || b > 0x7E || mode == JisMode::Ascii || mode == JisMode::Roman) {
      if (!sink.PutByte(b)) return false;
      ++p;
      continue;
    }
    if (mode == JisMode::Kana) {
      if (!sink.PutByte(static_cast<unsigned char>(b + 0x80))) return false;
      ++p;
      continue;
    }
    if (p + 1 >= end) return true;  // a character cut short ends the text
    const std::uint16_t code = static_cast<std::uint16_t>(b << 8 | p[1]);
    std::uint16_t sjis = 0;
    if (mode == JisMode::X0212) {
      sjis = Jis0212ToSjis(code);
    } else {
      sjis = JisCodeToSjis(code, mode == JisMode::X0213Plane2 ? 2 : 1);
    }
    if (!sink.Put(sjis)) return false;
    p += 2;
  }
  return true;
}

template <typename Sink>
bool ConvertEuc(const unsigned char* p, const unsigned char* end, Sink& sink) {
  while (p < end) {
    const unsigned char b = *p;
    if (b == 0x8F) {
      if (p + 2 >= end) return true;
      const unsigned char x = p[1];
      const std::uint16_t code = static_cast<std::uint16_t>((x & 0x7F) << 8 | (p[2] & 0x7F));
      // JIS X 0212 kanji rows, 0x30 to 0x6D; the rows JIS X 0213 plane 2 uses lie outside them.
      const std::uint16_t sjis = x >= 0xB0 && x <= 0xED ? Jis0212ToSjis(code) : JisCodeToSjis(code, 2);
      if (!sink.Put(sjis)) return false;
      p += 3;
    } else if (b >= 0xA1) {
      if (p + 1 >= end) return true;
      const std::uint16_t code = static_cast<std::uint16_t>((b & 0x7F) << 8 | (p[1] & 0x7F));
      if (!sink.Put(JisCodeToSjis(code, 1))) return false;
      p += 2;
    } else if (b == 0x8E) {
      if (p + 1 >= end) return true;
      if (!sink.PutByte(p[1] | 0x80)) return false;
      p += 2;
    } else {
      if (!sink.PutByte(b)) return false;
      ++p;
    }
  }
  return true;
}

// Sequence lengths by first byte, as the design of the decoder reads them: 0x80-0xBF are one byte.
constexpr std::array<std::uint8_t, 256> kUtf8Length = [] {
  std::array<std::uint8_t, 256> lengths{};
  for (int b = 0; b < 256; ++b) {
    lengths[b] = b >= 0xFC ? 6 : b >= 0xF8 ? 5 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
  }
  return lengths;
}();

// The unit of one complete sequence of `length` bytes; longer than three bytes gives 0xFFFF.
inline std::uint16_t Utf8Unit(const unsigned char* in, int length) {
  switch (length) {
    case 1: return in[0];
    case 2: return static_cast<std::uint16_t>(((in[0] & 0x1F) << 6) + (in[1] & 0x3F));
    case 3:
      return static_cast<std::uint16_t>(((in[0] & 0x0F) << 12) + ((in[1] & 0x3F) << 6) + (in[2] & 0x3F));
    default: return 0xFFFF;
  }
}

// Walks the UTF-8 sequences of [p, end) as Utf8ToUcs2 reads them (end is the first zero byte, so
// a sequence reaching it is cut short and ends the text), handing each unit to `emit`.
template <typename Emit>
bool ForEachUtf8Unit(const unsigned char* p, const unsigned char* end, Emit emit) {
  while (p < end) {
    const int length = kUtf8Length[*p];
    if (end - p < length) return true;
    const std::uint16_t unit = Utf8Unit(p, length);
    if (unit == 0) return true;
    if (!emit(length >= 4 ? std::uint16_t{0x003F} : unit)) return false;
    p += length;
  }
  return true;
}

template <typename Sink>
bool ConvertUnits(const std::uint16_t* p, const std::uint16_t* end, Sink& sink) {
  for (; p < end && *p != 0; ++p) {
    if (!sink.Put(UnicodeToSjis(*p))) return false;
  }
  return true;
}

const unsigned char* Bytes(const char* p) { return reinterpret_cast<const unsigned char*>(p); }

// The part of a safe-form input that the zero-terminated forms would see.
std::string_view UpToZero(std::string_view in) {
  const std::size_t zero = in.find('\0');
  return zero == std::string_view::npos ? in : in.substr(0, zero);
}

template <typename Convert>
std::string ConvertToString(std::string_view in, Convert convert) {
  const std::string_view text = UpToZero(in);
  StringSink sink(text.size());
  convert(Bytes(text.data()), Bytes(text.data()) + text.size(), sink);
  return sink.Take();
}

}  // namespace

int PutSjisChar(char* out, std::uint16_t code) {
  if (code >= 0x100) {
    if (out != nullptr) {
      out[0] = static_cast<char>(code >> 8);
      out[1] = static_cast<char>(code);
    }
    return 2;
  }
  if (out != nullptr) out[0] = code == 0 ? '?' : static_cast<char>(code);
  return 1;
}

std::uint16_t JisCodeToSjis(std::uint16_t code, int plane) {
  int row = code >> 8;
  int cell = code & 0xFF;
  if (plane == 2) {
    if (row == 0x21 || (row >= 0x23 && row <= 0x25)) {
      row += 0x5E;
    } else if (row == 0x28 || (row >= 0x2C && row <= 0x2F)) {
      row += 0x58;
    } else if (row >= 0x6E) {
      row += 0x1A;
    } else {
      return 0;
    }
  }
  // Branch-free: the parity of the row is data, and this runs once per character.
  cell += 0x7D - 0x5E * (row & 1);
  cell += cell >= 0x7F;
  int lead = ((row - 0x21) >> 1) + 0x81;
  lead += 0x40 * (lead > 0x9F);
  return static_cast<std::uint16_t>(lead * 256 + cell);
}

std::uint16_t Jis0212ToSjis(std::uint16_t code) {
  const int row = code >> 8;
  const int cell = code & 0xFF;
  const int lastRow = kJis0212FirstRow + kJis0212Rows - 1;
  if (row < kJis0212FirstRow || row > lastRow || cell < 0x21 || cell > 0x7E) return 0;
  return Jis0212Table[kJis0212Cells * (row - kJis0212FirstRow) + (cell - 0x21)];
}

std::uint16_t UnicodeToSjis(std::uint16_t unit) {
  const std::uint16_t* page = UnicodeToSjisPages[unit >> 8];
  return page != nullptr ? page[unit & 0xFF] : 0;
}

std::uint16_t ReadUtf8Char(const unsigned char* in, int& length) {
  length = kUtf8Length[in[0]];
  for (int k = 0; k < length; ++k) {
    if (in[k] == 0) return 0;
  }
  return Utf8Unit(in, length);
}

std::uint16_t DetectCharset(std::string_view buffer, int count) {
  if (count < 2) return CS_UNKNOWN;
  const std::int64_t size = static_cast<std::int64_t>(buffer.size());
  const auto* p = Bytes(buffer.data());
  auto at = [&](std::int64_t k) -> unsigned char { return k < size ? p[k] : 0; };
  int jis = 0;
  int sjis = 0;
  int euc = 0;
  int utf8 = 0;
  int breaks16 = 0;
  bool zero = false;
  bool highOdd = false;
  bool inPlus = false;
  bool sjisPair = false;
  bool eucPair = false;
  bool utf7Ok = true;
  bool utf7Watch = true;
  int skip = 0;
  auto isBase64 = [](unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/';
  };
  auto oddHigh = [](std::int64_t i, unsigned char b) { return (i & 1) != 0 && b >= 0xA0 && b <= 0xF7; };
  auto isSjisLead = [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
  auto isSjisTrail = [](unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); };
  const std::int64_t last = count - 2;
  // Fast paths may read three bytes ahead without the end test.
  const std::int64_t fastEnd = std::min(last, size - 4);
  std::int64_t i = 0;
  while (i <= last) {
    // The same steps without the rare cases (a zero byte, ESC, a line break before a zero, the
    // UTF-7 watch), which leave to the full step below.
    while (i <= fastEnd && !zero && !(utf7Watch && utf7Ok)) {
      // Nothing open: ASCII changes nothing and a UTF-8 sequence only counts (its two other bytes
      // are above 0x7F and can only mark a high odd byte). Most text stays here.
      while (i <= fastEnd && skip == 0 && !sjisPair && !eucPair) {
        while (i + 8 <= fastEnd && p[i + 8] != 0) {
          std::uint64_t w;
          std::memcpy(&w, p + i, sizeof w);
          if ((w & kHighBits) != 0 || HasZeroByte(w) || HasZeroByte(w ^ kEscBytes)) break;
          i += 8;
        }
        const unsigned char b = p[i];
        const unsigned char n = p[i + 1];
        if (b < 0x80) {
          if (IsRareForDetection(b, n)) break;
          ++i;
        } else if ((b & 0xC0) == 0xC0 && (n & 0xC0) == 0x80 && (p[i + 2] & 0xC0) == 0x80 &&
                   i + 2 <= last) {
          ++utf8;
          utf7Watch = false;
          highOdd = highOdd || oddHigh(i, b) || oddHigh(i + 1, n) || oddHigh(i + 2, p[i + 2]);
          i += 3;
        } else {
          break;
        }
      }
      // One byte of whatever is open, or of a pair about to open.
      if (i > fastEnd) break;
      const unsigned char b = p[i];
      const unsigned char n = p[i + 1];
      if (IsRareForDetection(b, n)) break;
      highOdd = highOdd || oddHigh(i, b);
      utf7Watch = utf7Watch && b <= 0x80;
      if (skip == 0 && (b & 0xC0) == 0xC0 && (n & 0xC0) == 0x80 && (p[i + 2] & 0xC0) == 0x80) {
        ++utf8;
        skip = 2;
      } else if (skip > 0) {
        --skip;
      } else if (sjisPair) {
        sjisPair = false;
      } else if (isSjisLead(b) && isSjisTrail(n)) {
        ++sjis;
        sjisPair = true;
      } else if (eucPair) {
        eucPair = false;
      } else if (b >= 0xA1 && b <= 0xFE && n >= 0xA1 && n <= 0xFE) {
        ++euc;
        eucPair = true;
      }
      ++i;
    }
    if (i > last) break;
    const unsigned char b = at(i);
    const unsigned char next = at(i + 1);
    const bool even = (i & 1) == 0;
    ++i;
    if (even && b == 0 && next == 0) return CS_BINARY;
    if (b == 0) zero = true;
    if (b > 0x80) utf7Watch = false;
    if (even && (b == '\r' || b == '\n') && next == 0) {
      ++breaks16;
    } else if (!even && b >= 0xA0 && b <= 0xF7) {
      highOdd = true;
    }
    if (zero) continue;
    if (utf7Watch && utf7Ok) {
      if (!inPlus) {
        if (b == '+') inPlus = true;
      } else if (b == '-') {
        inPlus = false;
      } else if (!isBase64(b)) {
        utf7Ok = false;
      }
    }
    const std::int64_t k = i - 1;
    if (b == 0x1B && next == '$') {
      const unsigned char f = at(k + 2);
      if (f == 0x40 || f == 0x42 || (f == '(' && (at(k + 3) == 'O' || at(k + 3) == 'P'))) {
        ++jis;
        // Now only a zero byte can change the answer (to UTF-16 or binary); without one ahead,
        // the rest of the text cannot matter.
        if (breaks16 == 0 && std::memchr(p + i, 0, std::max<std::int64_t>(0, std::min(last + 2, size) - i)) == nullptr) {
          return CS_JIS;
        }
        continue;
      }
    }
    if (skip == 0 && (b & 0xC0) == 0xC0 && (next & 0xC0) == 0x80 && (at(k + 2) & 0xC0) == 0x80) {
      ++utf8;
      skip = 2;
      continue;
    }
    if (skip > 0) {
      --skip;
      continue;
    }
    if (!sjisPair) {
      if (isSjisLead(b) && isSjisTrail(next)) {
        ++sjis;
        sjisPair = true;
        continue;
      }
    } else {
      sjisPair = false;
      continue;
    }
    if (!eucPair) {
      if (b >= 0xA1 && b <= 0xFE && next >= 0xA1 && next <= 0xFE) {
        ++euc;
        eucPair = true;
      }
    } else {
      eucPair = false;
    }
  }
  if (breaks16 > 0 && !highOdd) return CS_UTF16;
  if (zero) return CS_BINARY;
  if (jis > 0) return CS_JIS;
  if (utf8 > sjis && utf8 > euc) return CS_UTF8;
  if (sjis > euc && sjis > utf8) return CS_SJIS;
  if (euc > sjis && euc > utf8) return CS_EUC;
  if (sjis == 0 && euc == 0 && utf8 == 0) return utf7Ok ? CS_UTF7 : CS_ASCII;
  return CS_UNKNOWN;
}

int JisToSjis(char* out, const char* in, int limit) {
  const auto* p = Bytes(in);
  const auto* end = p + std::strlen(in);
  return RunCForm(out, limit, [&](auto& sink) { return ConvertJis(p, end, sink); });
}

int EucToSjis(char* out, const char* in, int limit) {
  const auto* p = Bytes(in);
  const auto* end = p + std::strlen(in);
  return RunCForm(out, limit, [&](auto& sink) { return ConvertEuc(p, end, sink); });
}

int Utf8ToUcs2(std::uint16_t* out, const char* in, int limit) {
  const auto* p = Bytes(in);
  const auto* end = p + std::strlen(in);
  int count = 0;
  if (out == nullptr) {
    ForEachUtf8Unit(p, end, [&](std::uint16_t) { return ++count, true; });
    return count;
  }
  if (limit <= 0) return -1;
  const bool complete = ForEachUtf8Unit(p, end, [&](std::uint16_t unit) {
    if (count + 1 >= limit) return false;
    out[count++] = unit;
    return true;
  });
  out[count] = 0;
  return complete ? count : -1;
}

int Ucs2ToSjis(char* out, const std::uint16_t* in, int limit) {
  const std::uint16_t* end = in;
  while (*end != 0) ++end;
  return RunCForm(out, limit, [&](auto& sink) { return ConvertUnits(in, end, sink); });
}

std::string JisToSjis(std::string_view in) {
  return ConvertToString(in, [](auto p, auto end, auto& sink) { ConvertJis(p, end, sink); });
}

std::string EucToSjis(std::string_view in) {
  return ConvertToString(in, [](auto p, auto end, auto& sink) { ConvertEuc(p, end, sink); });
}

std::string Utf8ToSjis(std::string_view in) {
  // The same reading as Utf8ToUcs2 then Ucs2ToSjis, in one pass: mail bodies are mostly this.
  const std::string_view text = UpToZero(in);
  StringSink sink(text.size());
  const unsigned char* p = Bytes(text.data());
  const unsigned char* const end = p + text.size();
  const std::uint16_t* const page0 = UnicodeToSjisPages[0];
  while (p < end) {
    const unsigned char b = *p;
    if (b < 0x80) {
      // ASCII maps to itself: eight bytes at a time where they are all ASCII.
      if (end - p >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, sizeof w);
        if ((w & kHighBits) == 0) {
          sink.PutWord(w);
          p += 8;
          continue;
        }
      }
      sink.Put(page0[b]);
      ++p;
      continue;
    }
    if ((b & 0xF0) == 0xE0 && end - p >= 3) {
      const std::uint16_t unit = Utf8Unit(p, 3);
      if (unit == 0) break;
      const std::uint16_t* page = UnicodeToSjisPages[unit >> 8];
      sink.Put(page != nullptr ? page[unit & 0xFF] : 0);
      p += 3;
      continue;
    }
    const int length = kUtf8Length[b];
    if (end - p < length) break;
    const std::uint16_t unit = Utf8Unit(p, length);
    if (unit == 0) break;
    sink.Put(length >= 4 ? std::uint16_t{0x003F} : UnicodeToSjis(unit));
    p += length;
  }
  return sink.Take();
}

std::u16string Utf8ToUcs2(std::string_view in) {
  const std::string_view text = UpToZero(in);
  std::u16string units;
  units.reserve(text.size());
  ForEachUtf8Unit(Bytes(text.data()), Bytes(text.data()) + text.size(), [&](std::uint16_t unit) {
    units.push_back(static_cast<char16_t>(unit));
    return true;
  });
  return units;
}

std::string Ucs2ToSjis(std::u16string_view in) {
  StringSink sink(in.size());
  ConvertUnits(reinterpret_cast<const std::uint16_t*>(in.data()),
               reinterpret_cast<const std::uint16_t*>(in.data()) + in.size(), sink);
  return sink.Take();
}

void TextToSjis(std::string& text) {
  try {
    const int count = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX)) - 1;
    switch (DetectCharset(text, count)) {
      case CS_JIS: text = JisToSjis(text); break;
      case CS_EUC: text = EucToSjis(text); break;
      case CS_UTF8: text = Utf8ToSjis(text); break;
      case CS_UTF16: {
        // Little-endian units of the zero-padded byte buffer; an odd last byte pairs with 0.
        std::u16string units((text.size() + 1) / 2, u'\0');
        for (std::size_t k = 0; k < text.size(); ++k) {
          units[k / 2] |= static_cast<char16_t>(static_cast<unsigned char>(text[k]) << (k % 2 ? 8 : 0));
        }
        text = Ucs2ToSjis(units);
        break;
      }
      default: text = std::string(UpToZero(text)); break;
    }
  } catch (const std::exception&) {
    text = "Failed get text";
  }
}

}  // namespace rirevar
