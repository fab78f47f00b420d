// Typed readings of settings values that the windows restore at start-up.
#pragma once

#include <optional>
#include <string_view>

#include "app/settings.h"

namespace rirevar {

// A decimal integer (a leading "-" allowed), nothing for any other text.
[[nodiscard]] std::optional<int> IntText(std::string_view text);

// The value of `key` as a decimal integer; nothing when the key is missing or is not a number, so
// that a hand-edited file keeps the design value instead of stopping start-up.
[[nodiscard]] std::optional<int> IntValue(const Settings& settings, std::string_view key);

// The font string of `key` applied to `font`; the control colour it carries, or nothing (and the
// font unchanged) when the key is missing or is not a font string.
[[nodiscard]] std::optional<std::int32_t> FontValue(const Settings& settings, std::string_view key,
                                                    FontSpec& font);

}  // namespace rirevar
