#include "text/incoming_text.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <exception>

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

struct StringSink {
  std::string out;
  bool Put(std::uint16_t code) {
    if (code >= 0x100) {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code));
    } else {
      out.push_back(code == 0 ? '?' : static_cast<char>(code));
    }
    return true;
  }
  bool PutByte(unsigned char byte) {
    out.push_back(static_cast<char>(byte));
    return true;
  }
};

// The C forms' result: the length, or -1 when the limit stopped them; the output is terminated.
int Finish(BufferSink& sink, bool complete) {
  if (sink.length < sink.limit) sink.out[sink.length] = '\0';
  return complete ? sink.length : -1;
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
      const std::uint16_t sjis = x >= 0xB1 && x <= 0xED ? Jis0212ToSjis(code) : JisCodeToSjis(code, 2);
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

// Walks the UTF-8 sequences of [p, end) as Utf8ToUcs2 reads them, handing each unit to `emit`.
template <typename Emit>
bool ForEachUtf8Unit(const unsigned char* p, const unsigned char* end, Emit emit) {
  while (p < end) {
    int length = 0;
    const std::uint16_t unit = ReadUtf8Char(p, length);
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
  StringSink sink;
  // Every converter writes at most as many bytes as it reads.
  sink.out.reserve(text.size());
  convert(Bytes(text.data()), Bytes(text.data()) + text.size(), sink);
  return std::move(sink.out);
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
  cell += (row & 1) ? 0x1F : 0x7D;
  if (cell >= 0x7F) ++cell;
  int lead = ((row - 0x21) >> 1) + 0x81;
  if (lead > 0x9F) lead += 0x40;
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
  const unsigned char b0 = in[0];
  length = b0 >= 0xFC ? 6 : b0 >= 0xF8 ? 5 : b0 >= 0xF0 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC0 ? 2 : 1;
  for (int k = 1; k < length; ++k) {
    if (in[k] == 0) return 0;
  }
  switch (length) {
    case 1: return b0;
    case 2: return static_cast<std::uint16_t>(((b0 & 0x1F) << 6) + (in[1] & 0x3F));
    case 3:
      return static_cast<std::uint16_t>(((b0 & 0x0F) << 12) + ((in[1] & 0x3F) << 6) + (in[2] & 0x3F));
    default: return 0xFFFF;
  }
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
  for (std::int64_t i = 0; i <= count - 2; ++i) {
    const unsigned char b = at(i);
    const unsigned char next = at(i + 1);
    const bool even = (i & 1) == 0;
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
    if (b == 0x1B && next == '$') {
      const unsigned char f = at(i + 2);
      if (f == 0x40 || f == 0x42 || (f == '(' && (at(i + 3) == 'O' || at(i + 3) == 'P'))) {
        ++jis;
        continue;
      }
    }
    if (skip == 0 && (b & 0xC0) == 0xC0 && (next & 0xC0) == 0x80 && (at(i + 2) & 0xC0) == 0x80) {
      ++utf8;
      skip = 2;
      continue;
    }
    if (skip > 0) {
      --skip;
      continue;
    }
    if (!sjisPair) {
      if (((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) &&
          ((next >= 0x40 && next <= 0x7E) || (next >= 0x80 && next <= 0xFC))) {
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
  return ConvertToString(in, [](auto p, auto end, StringSink& sink) {
    ForEachUtf8Unit(p, end, [&](std::uint16_t unit) { return sink.Put(UnicodeToSjis(unit)); });
  });
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
  StringSink sink;
  sink.out.reserve(in.size() * 2);
  ConvertUnits(reinterpret_cast<const std::uint16_t*>(in.data()),
               reinterpret_cast<const std::uint16_t*>(in.data()) + in.size(), sink);
  return std::move(sink.out);
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
