// MIME encoded words in header text: decoding received ones to Shift-JIS, building ISO-2022-JP
// B words for outgoing headers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rirevar {

// Decodes every recognised encoded word of one header line; the rest of the line is unchanged.
[[nodiscard]] std::string DecodeHeaderWords(std::string_view text);
// The decoded bytes of one word, brought into Shift-JIS for the given charset code.
[[nodiscard]] std::string ConvertDecodedWord(std::string_view bytes, std::uint16_t charset);
// Encodes each double-byte run of a Shift-JIS text as one =?ISO-2022-JP?B?...?= word.
[[nodiscard]] std::string CreateHeaderString(std::string_view text);
// Replaces ISO-2022-JP B words by their JIS text (not Shift-JIS).
[[nodiscard]] std::string DecodeHeaderString(std::string_view text);

}  // namespace rirevar
