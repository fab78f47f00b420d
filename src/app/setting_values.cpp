#include "app/setting_values.h"

#include <charconv>
#include <string>

namespace rirevar {

std::optional<int> IntText(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<int> IntValue(const Settings& settings, std::string_view key) { return IntText(settings.Value(key)); }

std::optional<std::int32_t> FontValue(const Settings& settings, std::string_view key, FontSpec& font) {
  return TextToFont(font, settings.Value(key));
}

}  // namespace rirevar
