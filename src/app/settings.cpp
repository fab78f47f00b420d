#include "app/settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace rirevar {

namespace {

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool IsTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// Bytes of the character at `at`. The second byte of a Shift-JIS character may be "|", "\" or an
// ASCII letter ("ポ" is 83 7C), so scans for separators and letter case must step over it.
std::size_t CharLength(std::string_view text, std::size_t at) {
  const bool pair = at + 1 < text.size() && IsLeadByte(Byte(text[at])) && IsTrailByte(Byte(text[at + 1]));
  return pair ? 2 : 1;
}

char FoldAsciiCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(std::string_view name, std::string_view key) {
  if (name.size() != key.size()) return false;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t length = CharLength(name, i);
    if (length == 2) {
      if (name.substr(i, 2) != key.substr(i, 2)) return false;
    } else if (FoldAsciiCase(name[i]) != FoldAsciiCase(key[i])) {
      return false;
    }
    i += length;
  }
  return true;
}

// Index of the first line whose name is `key`, or the number of lines.
std::size_t FindLine(const std::vector<std::string>& lines, std::string_view key) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::size_t equals = lines[i].find('=');
    if (equals != std::string::npos && SameName(std::string_view(lines[i]).substr(0, equals), key)) return i;
  }
  return lines.size();
}

std::string ErrorText(std::string_view what, const std::string& path, int errorNumber) {
  std::string text(what);
  text += ' ';
  text += path;
  text += ": ";
  text += std::strerror(errorNumber);
  return text;
}

// Closes on every way out of a function; Release() hands the descriptor over for a checked close.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  [[nodiscard]] int Get() const { return fd_; }
  [[nodiscard]] int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// The file a symbolic link points to is the one to replace; renaming over the link itself would
// cut it loose from its target.
std::string ReplacedFile(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return path;
  std::string resolved(real);
  std::free(real);
  return resolved;
}

std::string DirectoryOf(const std::string& file) {
  const std::size_t slash = file.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : file.substr(0, slash);
}

// Must never change: every stored password is scrambled with it.
constexpr std::array<unsigned char, 128> kPasswordKey = {
    0x6A, 0xD0, 0x9C, 0xE4, 0x06, 0x45, 0xA3, 0x29, 0x2B, 0xA1, 0x04, 0xAB, 0x91, 0x07, 0x56, 0x76,
    0x5E, 0xC1, 0xEC, 0x42, 0x60, 0x26, 0xB4, 0x0D, 0xD5, 0xF5, 0xEE, 0xF3, 0x8E, 0xBD, 0x6D, 0x60,
    0xD5, 0xF5, 0xBC, 0xED, 0x30, 0x85, 0x5F, 0xFC, 0xA9, 0x92, 0x7E, 0xCF, 0xD8, 0xE7, 0x33, 0xD0,
    0x5D, 0xA5, 0xBC, 0x7A, 0x66, 0x01, 0x4A, 0xEB, 0xE2, 0x31, 0x4B, 0x96, 0x51, 0x44, 0x96, 0x69,
    0x80, 0xC0, 0xCF, 0x6A, 0xD6, 0xB0, 0xD6, 0xC9, 0x7E, 0x3D, 0xD7, 0x46, 0x6A, 0xFB, 0x53, 0xA6,
    0x6F, 0xE5, 0xC3, 0x84, 0x69, 0x80, 0xDF, 0x9C, 0x01, 0x1F, 0x59, 0xA4, 0x06, 0x9C, 0xC5, 0x6A,
    0x3E, 0x1A, 0x35, 0x18, 0xB8, 0xE8, 0x4F, 0x34, 0xC3, 0x44, 0x08, 0xDB, 0xB5, 0xA9, 0xCB, 0x54,
    0x8F, 0xF6, 0xC7, 0x6F, 0x21, 0x57, 0x48, 0xB4, 0xA9, 0xEF, 0xBB, 0x05, 0x8D, 0x51, 0xD6, 0x8A,
};

// Callers pass a character code; a signed char of a Shift-JIS lead byte is negative, and masking
// clears the top bit of either form alike.
std::size_t KeyPosition(int start) { return static_cast<std::size_t>(start & 0x7F); }

std::size_t NextKeyPosition(std::size_t position) { return (position + 1) % kPasswordKey.size(); }

bool WrittenAsIs(unsigned char v) {
  return (v >= '0' && v <= '9') || (v >= 'A' && v <= 'Z') || (v >= 'b' && v <= 'z');
}

template <typename Number>
std::optional<Number> WholeNumber(std::string_view text) {
  Number number{};
  const char* end = text.data() + text.size();
  const auto [stop, failure] = std::from_chars(text.data(), end, number);
  if (failure != std::errc() || stop != end) return std::nullopt;
  return number;
}

}  // namespace

std::string Settings::Value(std::string_view key) const {
  const std::size_t at = FindLine(lines_, key);
  if (at == lines_.size()) return {};
  return lines_[at].substr(lines_[at].find('=') + 1);
}

void Settings::SetValue(std::string_view key, std::string_view value) {
  const std::size_t at = FindLine(lines_, key);
  if (value.empty()) {
    if (at != lines_.size()) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(at));
    return;
  }
  // A line break would split the line in the file and turn the rest of the value into a line of
  // its own, possibly a key; each break becomes a blank instead.
  std::string line(key);
  line += '=';
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (!IsLineBreak(value[i])) {
      line += value[i];
      continue;
    }
    if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
    line += ' ';
  }
  if (at == lines_.size()) {
    lines_.push_back(std::move(line));
  } else {
    lines_[at] = std::move(line);
  }
}

Settings Settings::Parse(std::string_view fileBytes) {
  Settings settings;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < fileBytes.size(); ++i) {
    if (!IsLineBreak(fileBytes[i])) continue;
    settings.lines_.emplace_back(fileBytes.substr(lineStart, i - lineStart));
    if (fileBytes[i] == '\r' && i + 1 < fileBytes.size() && fileBytes[i + 1] == '\n') ++i;
    lineStart = i + 1;
  }
  if (lineStart < fileBytes.size()) settings.lines_.emplace_back(fileBytes.substr(lineStart));
  return settings;
}

std::string Settings::Serialize() const {
  std::size_t size = 0;
  for (const std::string& line : lines_) size += line.size() + 2;
  std::string bytes;
  bytes.reserve(size);
  for (const std::string& line : lines_) {
    bytes += line;
    bytes += "\r\n";
  }
  return bytes;
}

std::optional<Settings> ReadSettingsFile(const std::string& path, std::string& error) {
  error.clear();
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.Get() < 0) {
    if (errno != ENOENT) error = ErrorText("cannot read", path, errno);
    return std::nullopt;
  }
  std::string bytes;
  std::array<char, 65536> buffer;
  for (;;) {
    const ssize_t count = ::read(file.Get(), buffer.data(), buffer.size());
    if (count == 0) break;
    if (count < 0) {
      if (errno == EINTR) continue;
      error = ErrorText("cannot read", path, errno);
      return std::nullopt;
    }
    bytes.append(buffer.data(), static_cast<std::size_t>(count));
  }
  return Settings::Parse(bytes);
}

bool WriteSettingsFile(const std::string& path, const Settings& settings, std::string& error) {
  error.clear();
  const std::string target = ReplacedFile(path);
  std::string temporary = target + ".XXXXXX";
  FileDescriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
  if (file.Get() < 0) {
    error = ErrorText("cannot write", path, errno);
    return false;
  }
  const auto fail = [&](int errorNumber) {
    ::unlink(temporary.c_str());
    error = ErrorText("cannot write", path, errorNumber);
    return false;
  };

  // A new file stays readable by its owner only (mkostemp's mode), as it holds account passwords;
  // a replaced file keeps the permissions its user gave it.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && ::fchmod(file.Get(), old.st_mode & 07777) != 0) return fail(errno);
  if (!WriteAll(file.Get(), settings.Serialize())) return fail(errno);
  if (::fsync(file.Get()) != 0) return fail(errno);
  if (::close(file.Release()) != 0) return fail(errno);
  if (::rename(temporary.c_str(), target.c_str()) != 0) return fail(errno);

  // Makes the rename itself survive a power cut. Either file is whole on disk by now, so a
  // directory that cannot be synced (some file systems refuse) is no reason to report failure.
  FileDescriptor directory(::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.Get() >= 0) ::fsync(directory.Get());
  return true;
}

std::vector<std::string> SplitFields(std::string_view text, char separator) {
  std::vector<std::string> fields;
  std::size_t fieldStart = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = CharLength(text, i);
    if (length == 1 && text[i] == separator) {
      fields.emplace_back(text.substr(fieldStart, i - fieldStart));
      fieldStart = i + 1;
    }
    i += length;
  }
  fields.emplace_back(text.substr(fieldStart));
  return fields;
}

std::string ScramblePassword(std::string_view password, int start) {
  std::string stored;
  std::size_t position = KeyPosition(start);
  for (char p : password) {
    const auto v = static_cast<unsigned char>((Byte(p) ^ kPasswordKey[position]) + 2);
    position = NextKeyPosition(position);
    if (WrittenAsIs(v)) {
      stored += static_cast<char>(v);
      continue;
    }
    stored += 'a';
    stored += static_cast<char>(65 + v / 16);
    stored += static_cast<char>(115 - v % 16);
  }
  return stored;
}

// Any text gives a result: a triple of unexpected characters still gives one byte (its arithmetic
// taken modulo 256), and an "a" too near the end stands for itself.
std::string UnscramblePassword(std::string_view stored, int start) {
  std::string password;
  std::size_t position = KeyPosition(start);
  for (std::size_t i = 0; i < stored.size(); ++i) {
    int v = Byte(stored[i]);
    if (stored[i] == 'a' && i + 2 < stored.size()) {
      v = 16 * (Byte(stored[i + 1]) - 65) + (115 - Byte(stored[i + 2]));
      i += 2;
    }
    password += static_cast<char>(static_cast<unsigned char>(v - 2) ^ kPasswordKey[position]);
    position = NextKeyPosition(position);
  }
  return password;
}

std::string FontToText(const FontSpec& font, std::int32_t controlColor) {
  std::string text = std::to_string(font.charset);
  text += '|';
  text += std::to_string(font.color);
  text += '|';
  text += std::to_string(font.height);
  text += '|';
  text += font.name;
  text += '|';
  text += std::to_string(font.size);
  text += '|';
  text += std::to_string(controlColor);
  return text;
}

std::optional<std::int32_t> TextToFont(FontSpec& font, std::string_view text) {
  const std::vector<std::string> fields = SplitFields(text, '|');
  if (fields.size() < 6) return std::nullopt;
  const std::optional<int> charset = WholeNumber<int>(fields[0]);
  const std::optional<std::int32_t> color = WholeNumber<std::int32_t>(fields[1]);
  const std::optional<int> height = WholeNumber<int>(fields[2]);
  const std::optional<int> size = WholeNumber<int>(fields[4]);
  const std::optional<std::int32_t> controlColor = WholeNumber<std::int32_t>(fields[5]);
  if (!charset || !color || !height || !size || !controlColor) return std::nullopt;
  font.charset = *charset;
  font.color = *color;
  font.height = *height;
  font.name = fields[3];
  font.size = *size;
  return controlColor;
}

int PasswordStart(std::string_view name) {
  return name.empty() ? 0 : static_cast<unsigned char>(name[0]) & 0x7F;
}

}  // namespace rirevar
