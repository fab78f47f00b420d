// Decoding of incoming text in any supported charset (ISO-2022-JP with its JIS X 0212 and
// JIS X 0213 extensions, EUC-JP, UTF-8, UTF-16LE, Shift-JIS) to Shift-JIS.
//
// The converters keep the measure-then-convert contract of zero-terminated buffers: called with
// no output buffer they return the output size; with a buffer they write it and a terminating 0,
// or stop with -1 before a character that would reach `limit`. The std::string overloads are
// what the rest of the system uses: they cannot overflow anything.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rirevar {

enum Charset : std::uint16_t {
  CS_ASCII = 0x0000,
  CS_JIS = 0x0100,
  CS_SJIS = 0x0200,
  CS_EUC = 0x0400,
  CS_UTF16 = 0x0800,
  CS_UTF8 = 0x0801,
  CS_UTF7 = 0x0802,
  CS_UNKNOWN = 0x1000,
  CS_BINARY = 0x2000,
};

// Replaces `text` in place by its Shift-JIS form.
void TextToSjis(std::string& text);

// Weighs positions 0 to count-2 of `buffer`; positions past the buffer's end read as 0.
// TextToSjis passes the text with count = its length - 1.
[[nodiscard]] std::uint16_t DetectCharset(std::string_view buffer, int count);

int JisToSjis(char* out, const char* in, int limit);
int EucToSjis(char* out, const char* in, int limit);
int Utf8ToUcs2(std::uint16_t* out, const char* in, int limit);
int Ucs2ToSjis(char* out, const std::uint16_t* in, int limit);

// Safe forms: the input ends at its first zero byte (or zero unit), as for the buffers above.
[[nodiscard]] std::string JisToSjis(std::string_view in);
[[nodiscard]] std::string EucToSjis(std::string_view in);
[[nodiscard]] std::u16string Utf8ToUcs2(std::string_view in);
[[nodiscard]] std::string Ucs2ToSjis(std::u16string_view in);
// Utf8ToUcs2 followed by Ucs2ToSjis, in one pass.
[[nodiscard]] std::string Utf8ToSjis(std::string_view in);

// Writes one Shift-JIS code (0 as "?"); with out == nullptr only returns its size.
int PutSjisChar(char* out, std::uint16_t code);
[[nodiscard]] std::uint16_t JisCodeToSjis(std::uint16_t code, int plane);
[[nodiscard]] std::uint16_t Jis0212ToSjis(std::uint16_t code);
[[nodiscard]] std::uint16_t UnicodeToSjis(std::uint16_t unit);
// Reads one UTF-8 sequence from a zero-terminated buffer; `length` receives its length in bytes.
// Returns 0 at the terminating 0 or when the sequence is cut short by it.
[[nodiscard]] std::uint16_t ReadUtf8Char(const unsigned char* in, int& length);

}  // namespace rirevar
