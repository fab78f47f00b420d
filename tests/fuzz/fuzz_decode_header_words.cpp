// Header-word decoding of any line, checked against a plain rendering of the algorithm: search the
// whole line from its start for each word, erase and insert in place. That rendering is quadratic,
// so it only judges inputs of fuzzing size.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/header_words.h"
#include "text/incoming_text.h"
#include "text/transfer_encoding.h"

namespace {

struct Kind {
  std::string_view prefix;
  bool base64;
  rirevar::Charset charset;
};

constexpr Kind kKinds[] = {
    {"=?ISO-2022-JP?B?", true, rirevar::CS_JIS},  {"=?EUC-JP?B?", true, rirevar::CS_EUC},
    {"=?UTF-8?B?", true, rirevar::CS_UTF8},       {"=?SHIFT_JIS?B?", true, rirevar::CS_SJIS},
    {"=?ISO-2022-JP?Q?", false, rirevar::CS_JIS}, {"=?EUC-JP?Q?", false, rirevar::CS_EUC},
    {"=?UTF-8?Q?", false, rirevar::CS_UTF8},      {"=?SHIFT_JIS?Q?", false, rirevar::CS_SJIS},
};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

std::optional<std::string> DecodeWord(const Kind& kind, std::string_view encoded) {
  std::string bytes;
  if (kind.base64) {
    std::optional<std::string> decoded = rirevar::DecodeBase64Block(encoded);
    if (!decoded) return std::nullopt;
    bytes = *decoded;
  } else {
    bytes = rirevar::DecodeQuotedPrintable(encoded);
  }
  std::string text = rirevar::ConvertDecodedWord(bytes, kind.charset);
  return text.substr(0, text.find('\0'));
}

std::string Reference(std::string s) {
  for (const Kind& kind : kKinds) {
    while (true) {
      const auto found = std::search(s.begin(), s.end(), kind.prefix.begin(), kind.prefix.end(),
                                     [](char a, char b) { return Upper(a) == Upper(b); });
      if (found == s.end()) break;
      const std::size_t pos = static_cast<std::size_t>(found - s.begin());
      s.erase(pos, kind.prefix.size());
      const std::size_t end = s.find("?=", pos);
      if (end == std::string::npos) continue;
      const std::optional<std::string> decoded =
          DecodeWord(kind, std::string_view(s).substr(pos, end - pos));
      if (!decoded) continue;
      s.erase(pos, end - pos + 2);
      s.insert(pos, *decoded);
    }
  }
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string decoded = rirevar::DecodeHeaderWords(input);
  if (size <= 16384 && decoded != Reference(input)) __builtin_trap();
  (void)rirevar::DecodeHeaderString(input);
  (void)rirevar::CreateHeaderString(input);
  return 0;
}
