// Shift-JIS <-> Unicode for what the windows show and what the user types.
//
// Showing: code page 932 (with NEC row 13, NEC-selected IBM and IBM extensions) as Windows shows
// it; every other code that received text can carry shows as the JIS X 0213 character it came from.
// Typing: the same table that received text goes through (so typed and received text agree),
// except where its code would show another character; then code page 932 for characters that
// table lacks; then JIS X 0213 for the rest (characters beyond the BMP, and the kana and marks
// that JIS X 0213 writes as two code points), so that whatever shows can be typed back.
#pragma once

#include <string>
#include <string_view>

namespace rirevar {

[[nodiscard]] std::u16string SjisToUtf16(std::string_view sjis);
[[nodiscard]] std::string Utf16ToSjis(std::u16string_view text);

[[nodiscard]] std::string SjisToUtf8(std::string_view sjis);
[[nodiscard]] std::string Utf8ToSjisTyped(std::string_view utf8);

}  // namespace rirevar
