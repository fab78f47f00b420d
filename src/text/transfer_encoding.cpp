#include "text/transfer_encoding.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

namespace rirevar {

int DecodedLength = 0;

namespace {

constexpr std::string_view kBase64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::string_view kBinHexAlphabet =
    "!\"#$%&'()*+,-012345689@ABCDEFGHIJKLMNPQRSTUVXYZ[`abcdefhijklmpqr";

constexpr unsigned char kNotInAlphabet = 0xFF;

constexpr std::array<unsigned char, 256> ValueTable(std::string_view alphabet) {
  std::array<unsigned char, 256> values{};
  values.fill(kNotInAlphabet);
  for (std::size_t i = 0; i < alphabet.size(); ++i) {
    values[static_cast<unsigned char>(alphabet[i])] = static_cast<unsigned char>(i);
  }
  return values;
}

constexpr std::array<unsigned char, 256> kBase64Values = ValueTable(kBase64Alphabet);
constexpr std::array<unsigned char, 256> kBinHexValues = ValueTable(kBinHexAlphabet);

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Value of a Base64 character; "=" and bytes outside the alphabet count 0.
unsigned Base64Value(char c) {
  unsigned char value = kBase64Values[Byte(c)];
  return value == kNotInAlphabet ? 0 : value;
}

// The UU alphabet writes 0 as "`" (0x60) and older encoders as " " (0x20); masking to six bits
// reads both as 0.
unsigned UuValue(char c) { return (Byte(c) - 0x20u) & 0x3Fu; }

char UuChar(unsigned value) { return value == 0 ? '`' : static_cast<char>(0x20 + value); }

void AppendBytesOf(std::string& out, unsigned bits, std::size_t count) {
  const char bytes[3] = {static_cast<char>(bits >> 16), static_cast<char>(bits >> 8),
                         static_cast<char>(bits)};
  out.append(bytes, count);
}

// The four six-bit values of up to three bytes (missing bytes count 0), first byte highest.
std::array<unsigned, 4> SixBitValues(std::string_view text, std::size_t at) {
  unsigned bits = 0;
  for (std::size_t k = 0; k < 3; ++k) {
    bits <<= 8;
    if (at + k < text.size()) bits |= Byte(text[at + k]);
  }
  return {bits >> 18, (bits >> 12) & 0x3F, (bits >> 6) & 0x3F, bits & 0x3F};
}

// Base64 of the group of up to three bytes at `at`, padded with "=".
void AppendBase64Group(std::string& out, std::string_view text, std::size_t at) {
  const std::size_t count = std::min<std::size_t>(3, text.size() - at);
  const std::array<unsigned, 4> values = SixBitValues(text, at);
  for (std::size_t k = 0; k < 4; ++k) {
    out += k <= count ? kBase64Alphabet[values[k]] : '=';
  }
}

// Decodes `text` (a whole number of groups) into `out`, three bytes per group, and returns how
// many of them count: each "=" takes one off, never below 0.
std::size_t DecodeBase64Groups(std::string_view text, char* out) {
  std::size_t padding = 0;
  for (std::size_t at = 0; at < text.size(); at += 4) {
    unsigned bits = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      if (text[at + k] == '=') ++padding;
      bits = (bits << 6) | Base64Value(text[at + k]);
    }
    *out++ = static_cast<char>(bits >> 16);
    *out++ = static_cast<char>(bits >> 8);
    *out++ = static_cast<char>(bits);
  }
  const std::size_t written = text.size() / 4 * 3;
  return padding >= written ? 0 : written - padding;
}

std::size_t DecodeQuotedPrintableInto(std::string_view text, char* out) {
  std::size_t written = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '=') {
      out[written++] = text[i++];
    } else if (i + 2 < text.size() && IsHexDigit(text[i + 1]) && IsHexDigit(text[i + 2])) {
      out[written++] = static_cast<char>(HexPairToByte(Byte(text[i + 1]), Byte(text[i + 2])));
      i += 3;
    } else {
      // A soft line break, or a malformed escape: the "=" and the line break after it go.
      ++i;
      while (i < text.size() && Byte(text[i]) < 0x20) ++i;
    }
  }
  return written;
}

}  // namespace

int DecodeBase64Block(const char* text, char* out) {
  DecodedLength = 0;
  if (text == nullptr) return -1;
  const std::size_t length = std::strlen(text);
  if (length == 0 || length % 4 != 0) return -2;
  DecodedLength = static_cast<int>(DecodeBase64Groups({text, length}, out));
  return 0;
}

std::optional<std::string> DecodeBase64Block(std::string_view text) {
  if (text.empty() || text.size() % 4 != 0) return std::nullopt;
  std::string out(text.size() / 4 * 3, '\0');
  out.resize(DecodeBase64Groups(text, out.data()));
  return out;
}

int DecodeQuotedPrintable(const char* text, int length, char* out) {
  if (length <= 0) return 0;
  return static_cast<int>(DecodeQuotedPrintableInto({text, static_cast<std::size_t>(length)}, out));
}

std::string DecodeQuotedPrintable(std::string_view text) {
  std::string out(text.size(), '\0');
  out.resize(DecodeQuotedPrintableInto(text, out.data()));
  return out;
}

unsigned char HexPairToByte(unsigned char high, unsigned char low) {
  const auto digit = [](unsigned char c) -> unsigned {
    if (c >= 'a' && c <= 'f') return c - 0x57u;
    if (c >= 'A' && c <= 'F') return c - 0x37u;
    return c - 0x30u;
  };
  return static_cast<unsigned char>(digit(high) * 16 + digit(low));
}

std::string EncodeBase64(std::string_view text) {
  std::string out;
  out.reserve((text.size() + 2) / 3 * 4);
  for (std::size_t at = 0; at < text.size(); at += 3) AppendBase64Group(out, text, at);
  return out;
}

std::string EncodeBase64R(std::string_view text, std::string_view separator) {
  constexpr std::size_t kGroupsPerLine = 19;
  const std::size_t groups = (text.size() + 2) / 3;
  std::string out;
  out.reserve(groups * 4 + (groups / kGroupsPerLine) * separator.size());
  std::size_t done = 0;
  for (std::size_t at = 0; at < text.size(); at += 3) {
    AppendBase64Group(out, text, at);
    if (at + 3 <= text.size() && ++done % kGroupsPerLine == 0) out += separator;
  }
  return out;
}

std::string EncodeUU(std::string_view text, std::string_view separator) {
  constexpr std::size_t kLineBytes = 45;
  const std::size_t lines = text.size() / kLineBytes + 1;
  std::string out;
  out.reserve((text.size() + 2) / 3 * 4 + lines * (1 + separator.size()) + 1 +
              2 * separator.size());
  for (std::size_t start = 0; start < text.size(); start += kLineBytes) {
    const std::size_t count = std::min(kLineBytes, text.size() - start);
    out += static_cast<char>(0x20 + count);
    const std::string_view line = text.substr(start, count);
    for (std::size_t at = 0; at < count; at += 3) {
      for (unsigned value : SixBitValues(line, at)) out += UuChar(value);
    }
    if (count == kLineBytes) out += separator;
  }
  out += separator;
  out += '`';
  out += separator;
  return out;
}

std::string EncodeBinHex(std::string_view text, std::string_view separator) {
  constexpr std::size_t kLineLength = 64;
  const std::size_t characters = (text.size() + 2) / 3 * 4 + 2;
  std::string out;
  out.reserve(characters + (characters / kLineLength) * separator.size());
  out += ':';
  std::size_t lineLength = 1;
  for (std::size_t at = 0; at < text.size(); at += 3) {
    const std::size_t groupCharacters = std::min<std::size_t>(3, text.size() - at) + 1;
    const std::array<unsigned, 4> values = SixBitValues(text, at);
    for (std::size_t k = 0; k < groupCharacters; ++k) {
      out += kBinHexAlphabet[values[k]];
      if (++lineLength == kLineLength) {
        out += separator;
        lineLength = 0;
      }
    }
  }
  out += ':';
  return out;
}

std::string DecodeBase64(std::string_view text) {
  const std::size_t significant = static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return !IsLineBreak(c) && c != '='; }));
  const std::size_t length = significant / 4 * 3 + (significant % 4 != 0 ? significant % 4 - 1 : 0);
  std::string out;
  out.reserve(length + 3);
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsLineBreak(text[i])) {
      ++i;
      continue;
    }
    char group[4] = {};
    for (std::size_t k = 0; k < 4 && i + k < text.size(); ++k) group[k] = text[i + k];
    i += 4;
    unsigned bits = 0;
    for (char c : group) bits = (bits << 6) | Base64Value(c);
    AppendBytesOf(out, bits, group[2] == '=' ? 1 : group[3] == '=' ? 2 : 3);
  }
  // Unpadded or malformed text still gives exactly the length its characters promise.
  out.resize(length);
  return out;
}

std::string DecodeUU(std::string_view text) {
  constexpr std::size_t kFullLineBytes = 45;
  constexpr std::size_t kFullLineCharacters = 61;
  std::size_t length = 0;
  for (std::size_t i = 0;;) {
    while (i < text.size() && IsLineBreak(text[i])) ++i;
    if (i >= text.size()) break;
    if (text[i] != 'M') {
      length += UuValue(text[i]);
      break;
    }
    length += kFullLineBytes;
    i += kFullLineCharacters;
  }

  std::string out;
  out.reserve(length + 3);
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsLineBreak(text[i])) {
      ++i;
      continue;
    }
    int remaining = static_cast<int>(UuValue(text[i++]));
    while (i < text.size() && !IsLineBreak(text[i])) {
      unsigned bits = 0;
      for (std::size_t k = 0; k < 4; ++k) {
        bits <<= 6;
        if (i < text.size() && !IsLineBreak(text[i])) bits |= UuValue(text[i++]);
      }
      AppendBytesOf(out, bits, static_cast<std::size_t>(std::clamp(remaining, 1, 3)));
      remaining -= 3;
    }
  }
  // Lines shorter or longer than their length characters say still give the counted length.
  out.resize(length);
  return out;
}

std::string DecodeBinHex(std::string_view text) {
  const auto value = [text](std::size_t at) {
    return at < text.size() ? kBinHexValues[Byte(text[at])] : kNotInAlphabet;
  };
  std::string out;
  out.reserve(text.size() / 4 * 3 + 3);
  std::size_t i = 1;
  while (true) {
    const unsigned first = value(i);
    const unsigned second = value(i + 1);
    // One character holds no whole byte.
    if (first == kNotInAlphabet || second == kNotInAlphabet) break;
    const unsigned third = value(i + 2);
    if (third == kNotInAlphabet) {
      AppendBytesOf(out, (first << 18) | (second << 12), 1);
      break;
    }
    i += 3;
    if (i < text.size() && text[i] == '\r') ++i;
    if (i < text.size() && text[i] == '\n') ++i;
    const unsigned fourth = value(i);
    if (fourth == kNotInAlphabet) {
      AppendBytesOf(out, (first << 18) | (second << 12) | (third << 6), 2);
      break;
    }
    AppendBytesOf(out, (first << 18) | (second << 12) | (third << 6) | fourth, 3);
    ++i;
  }
  return out;
}

}  // namespace rirevar
