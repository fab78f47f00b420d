// The settings file "nuv.ini": every setting, account and rule of a user, held in memory as its
// ordered name=value lines (Shift-JIS bytes, as the file has them).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rirevar {

class Settings {
 public:
  // The value of the first line whose name (the text before its first "=") equals `key` without
  // regard to ASCII letter case; the empty text when there is none.
  [[nodiscard]] std::string Value(std::string_view key) const;
  // A non-empty value replaces the first matching line by key=value (the key as given) or appends
  // it; the empty value removes the first matching line. A line break in the value becomes a blank.
  void SetValue(std::string_view key, std::string_view value);

  // The lines themselves, for the scans that compare case-sensitively ("Pop", "Div", "Sign").
  [[nodiscard]] const std::vector<std::string>& Lines() const { return lines_; }
  [[nodiscard]] std::vector<std::string>& Lines() { return lines_; }

  // The file's bytes cut into lines at CR LF, LF or CR; a final line break ends the last line.
  [[nodiscard]] static Settings Parse(std::string_view fileBytes);
  // Every line followed by CR LF.
  [[nodiscard]] std::string Serialize() const;

 private:
  std::vector<std::string> lines_;
};

// Reads the file at `path`; nothing when it does not exist. A file that exists but cannot be read
// sets `error` and gives nothing; otherwise `error` is left empty.
[[nodiscard]] std::optional<Settings> ReadSettingsFile(const std::string& path, std::string& error);
// Replaces the file at `path` whole: a new file beside it, flushed to disk, then renamed over the
// old one, so that a crash or a full disk never leaves a truncated file. False with `error` set
// (and the old file untouched) when it cannot.
[[nodiscard]] bool WriteSettingsFile(const std::string& path, const Settings& settings, std::string& error);

// Cuts at every separator: always separators + 1 fields, untrimmed. The second byte of a
// Shift-JIS character is never taken for a separator.
[[nodiscard]] std::vector<std::string> SplitFields(std::string_view text, char separator);

// Stored passwords: digits and ASCII letters only. `start` is the key position to begin at, 0..127
// (the first character of the database or account name with its top bit cleared).
[[nodiscard]] std::string ScramblePassword(std::string_view password, int start);
[[nodiscard]] std::string UnscramblePassword(std::string_view stored, int start);
// The key position a password starts at: the first character of the database or account name,
// with its top bit cleared.
[[nodiscard]] int PasswordStart(std::string_view name);

// A font as the settings file keeps it: "Charset|FontColor|Height|Name|Size|ControlColor".
// Colours are signed 32-bit values: 0x00BBGGRR for a plain colour, 0xFF000000 + an index for a
// system colour (so negative).
struct FontSpec {
  int charset = 128;
  std::int32_t color = static_cast<std::int32_t>(0xFF000008);  // window text
  int height = -12;
  std::string name = "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";  // ＭＳ Ｐゴシック
  int size = 9;
};

[[nodiscard]] std::string FontToText(const FontSpec& font, std::int32_t controlColor);
// Sets the character set, colour, height, name and size of `font` from a font string and gives
// the control colour; nothing (and `font` unchanged) when the text is not a font string (fewer
// than six fields, or a number field that is not a number).
[[nodiscard]] std::optional<std::int32_t> TextToFont(FontSpec& font, std::string_view text);

}  // namespace rirevar
