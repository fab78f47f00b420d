// Transfer encodings: Base64, quoted-printable, UU and the six-bit layer of BinHex.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rirevar {

// Bytes decoded by the last DecodeBase64Block; read right after the call (window thread only).
extern int DecodedLength;

// Decodes a zero-terminated Base64 text into `out`, which must hold (length / 4) * 3 bytes.
// Returns 0, -1 for a missing text, -2 for an empty text or a length that is not a multiple of 4.
// A byte outside the alphabet counts 0, so one stray byte spoils one group, not the whole text.
// Sets DecodedLength: 3 per group less 1 per "=", never below 0.
[[nodiscard]] int DecodeBase64Block(const char* text, char* out);
// Safe form: the bytes the C form would count in DecodedLength, or nothing where it refuses.
// The whole view is decoded (a zero byte is a byte outside the alphabet); DecodedLength is left
// alone.
[[nodiscard]] std::optional<std::string> DecodeBase64Block(std::string_view text);

// Reads exactly the first `length` bytes of `text` and writes at most `length` bytes to `out`;
// returns how many.
[[nodiscard]] int DecodeQuotedPrintable(const char* text, int length, char* out);
[[nodiscard]] std::string DecodeQuotedPrintable(std::string_view text);
[[nodiscard]] unsigned char HexPairToByte(unsigned char high, unsigned char low);

[[nodiscard]] std::string EncodeBase64(std::string_view text);
[[nodiscard]] std::string EncodeBase64R(std::string_view text, std::string_view separator);
[[nodiscard]] std::string EncodeUU(std::string_view text, std::string_view separator);
[[nodiscard]] std::string EncodeBinHex(std::string_view text, std::string_view separator);
[[nodiscard]] std::string DecodeBase64(std::string_view text);
[[nodiscard]] std::string DecodeUU(std::string_view text);
[[nodiscard]] std::string DecodeBinHex(std::string_view text);

}  // namespace rirevar
