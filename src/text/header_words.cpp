#include "text/header_words.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <functional>
#include <optional>

#include "text/incoming_text.h"
#include "text/jconvert.h"
#include "text/transfer_encoding.h"

namespace rirevar {

namespace {

struct WordKind {
  std::string_view prefix;
  bool base64;
  Charset charset;
};

// Processed in this order: every word of one kind before any word of the next.
constexpr std::array<WordKind, 8> kWordKinds = {{
    {"=?ISO-2022-JP?B?", true, CS_JIS},
    {"=?EUC-JP?B?", true, CS_EUC},
    {"=?UTF-8?B?", true, CS_UTF8},
    {"=?SHIFT_JIS?B?", true, CS_SJIS},
    {"=?ISO-2022-JP?Q?", false, CS_JIS},
    {"=?EUC-JP?Q?", false, CS_EUC},
    {"=?UTF-8?Q?", false, CS_UTF8},
    {"=?SHIFT_JIS?Q?", false, CS_SJIS},
}};

constexpr std::string_view kJisPrefix = "=?ISO-2022-JP?B?";
constexpr std::string_view kEndMarker = "?=";
constexpr std::string_view kKanjiOutRoman = "\x1B(J";
constexpr std::string_view kKanjiOutAscii = "\x1B(B";

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualIgnoringAsciiCase(char a, char b) { return AsciiUpper(a) == AsciiUpper(b); }

std::string UpToFirstZero(std::string text) {
  text.resize(std::min(text.size(), text.find('\0')));
  return text;
}

bool IsDoubleByteLead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The part of a line that the scan for words has not passed yet. It sits at the end of a buffer
// with free room in front of it, so that taking bytes off its front and putting text back in front
// of it cost only the bytes moved: a line of many words, or of many prefixes without end marker,
// is still decoded in linear time.
class LineRest {
 public:
  explicit LineRest(std::string_view text) : buffer_(text) {}

  [[nodiscard]] std::string_view View() const { return std::string_view(buffer_).substr(begin_); }

  void Drop(std::size_t count) {
    begin_ += count;
    const std::size_t size = buffer_.size() - begin_;
    if (marker_ != std::string_view::npos && marker_ > size) {
      marker_ = std::string_view::npos;
      checked_ = 0;
    }
    checked_ = std::min(checked_, size);
  }

  void PutBack(std::string_view text) {
    if (text.size() > begin_) {
      const std::size_t size = buffer_.size() - begin_;
      std::string grown(text.size() + size + size, '\0');
      std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(begin_), buffer_.end(),
                grown.end() - static_cast<std::ptrdiff_t>(size));
      buffer_.swap(grown);
      begin_ = buffer_.size() - size;
    }
    begin_ -= text.size();
    std::copy(text.begin(), text.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(begin_));
  }

  // Offset of the first "?=", or npos. Offsets counted from the end of the buffer do not change
  // while bytes are taken off or put back at the front, so the one found is remembered and only
  // bytes put back since are searched again.
  [[nodiscard]] std::size_t FindEndMarker() {
    const std::string_view rest = View();
    // One byte more: a marker may straddle the border to the part already searched.
    const std::size_t unchecked = std::min(rest.size() - checked_ + 1, rest.size());
    const std::size_t at = rest.substr(0, unchecked).find(kEndMarker);
    if (at != std::string_view::npos) marker_ = rest.size() - at;
    checked_ = rest.size();
    return marker_ == std::string_view::npos ? marker_ : rest.size() - marker_;
  }

 private:
  std::string buffer_;
  std::size_t begin_ = 0;
  // The last `checked_` bytes have been searched for the end marker; the first one among them
  // starts `marker_` bytes before the end of the buffer (npos: there is none).
  std::size_t checked_ = 0;
  std::size_t marker_ = std::string_view::npos;
};

// Decodes one word's encoded text, or refuses it (nullopt) so that the text stays in place.
using WordDecoder = std::function<std::optional<std::string>(std::string_view encoded)>;

// Replaces every word of one prefix (matched ignoring ASCII case), first occurrence first, until
// the prefix no longer occurs: the prefix always goes; the encoded text up to the end marker and
// the marker go too unless there is no marker or the decoder refuses the text, and the decoded
// text takes their place.
std::string ReplaceWords(std::string_view text, std::string_view prefix,
                         const WordDecoder& decode) {
  std::string done;  // no occurrence of the prefix starts in here
  done.reserve(text.size());
  LineRest rest(text);
  while (true) {
    const std::string_view view = rest.View();
    const auto found =
        std::search(view.begin(), view.end(), prefix.begin(), prefix.end(), EqualIgnoringAsciiCase);
    if (found == view.end()) break;
    const auto at = static_cast<std::size_t>(found - view.begin());
    done.append(view.substr(0, at));
    rest.Drop(at + prefix.size());
    const std::size_t end = rest.FindEndMarker();
    if (end != std::string_view::npos) {
      if (std::optional<std::string> decoded = decode(rest.View().substr(0, end))) {
        rest.Drop(end + kEndMarker.size());
        rest.PutBack(*decoded);
      }
    }
    // What was removed may have joined the bytes before it and what now follows them into a new
    // occurrence, which may start up to a prefix length before.
    const std::size_t back = std::min(done.size(), prefix.size() - 1);
    rest.PutBack(std::string_view(done).substr(done.size() - back));
    done.resize(done.size() - back);
  }
  done.append(rest.View());
  return done;
}

}  // namespace

std::string DecodeHeaderWords(std::string_view text) {
  std::string line(text);
  for (const WordKind& kind : kWordKinds) {
    const Charset charset = kind.charset;
    WordDecoder decode;
    if (kind.base64) {
      decode = [charset](std::string_view encoded) -> std::optional<std::string> {
        std::optional<std::string> bytes = DecodeBase64Block(encoded);
        if (!bytes) return std::nullopt;
        return UpToFirstZero(ConvertDecodedWord(*bytes, charset));
      };
    } else {
      decode = [charset](std::string_view encoded) -> std::optional<std::string> {
        return UpToFirstZero(ConvertDecodedWord(DecodeQuotedPrintable(encoded), charset));
      };
    }
    line = ReplaceWords(line, kind.prefix, decode);
  }
  return line;
}

std::string ConvertDecodedWord(std::string_view bytes, std::uint16_t charset) {
  switch (charset) {
    case CS_JIS:
      return JisToSjis(bytes);
    case CS_EUC:
      return EucToSjis(bytes);
    case CS_UTF8:
      return Utf8ToSjis(bytes);
    default:
      return std::string(bytes);
  }
}

std::string CreateHeaderString(std::string_view text) {
  std::string result;
  std::string plain;
  std::string run;
  result.reserve(text.size() * 2);
  const auto flushRun = [&] {
    result += kJisPrefix;
    result += EncodeBase64(sjis2jis83(run));
    result += kEndMarker;
    run.clear();
  };
  for (std::size_t i = 0; i < text.size();) {
    if (IsDoubleByteLead(static_cast<unsigned char>(text[i]))) {
      result += plain;
      plain.clear();
      run += text.substr(i, 2);
      i += 2;
    } else {
      if (!run.empty()) flushRun();
      plain += text[i];
      ++i;
    }
  }
  if (!run.empty()) flushRun();
  result += plain;
  return result;
}

std::string DecodeHeaderString(std::string_view text) {
  return ReplaceWords(text, kJisPrefix, [](std::string_view encoded) -> std::optional<std::string> {
    std::string jis = DecodeBase64(encoded);
    if (!jis.ends_with(kKanjiOutRoman) && !jis.ends_with(kKanjiOutAscii)) jis += kKanjiOutRoman;
    return jis;
  });
}

}  // namespace rirevar
