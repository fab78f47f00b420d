// sjisconv: the system's own text conversions over standard input, for users converting files and
// for benchmarks and black-box checks.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

#include "text/header_words.h"
#include "text/incoming_text.h"
#include "text/jconvert.h"
#include "text/sjis_unicode.h"
#include "text/transfer_encoding.h"

namespace {

using namespace rirevar;

constexpr char kUsage[] =
    "usage: sjisconv COMMAND < input > output\n"
    "  detect          print the Japanese code (InCodeCheck) and the charset (DetectCharset)\n"
    "  to-sjis         any supported charset to Shift-JIS, as received mail is converted\n"
    "  jconvert N      Japanese code conversion to N: 2 JIS, 4 EUC-JP, 5 Shift-JIS\n"
    "  decode-header   decode the MIME encoded words of each line to Shift-JIS\n"
    "  encode-header   encode the double-byte runs of each Shift-JIS line as MIME words\n"
    "  to-utf8         Shift-JIS to UTF-8, as the windows show it\n"
    "  from-utf8       UTF-8 to Shift-JIS, as the windows take typed text\n"
    "  base64          Base64 with CR LF after every 76 characters\n"
    "  unbase64        decode Base64 (blanks, line breaks and bytes above 0x7F are ignored)\n"
    "  unqp            decode quoted-printable\n";

std::string ReadAll() {
  std::ios::sync_with_stdio(false);
  return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
}

void Write(std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

const char* CodeName(int code) {
  switch (code) {
    case CODE_ASCII: return "CODE_ASCII";
    case CODE_BINARY: return "CODE_BINARY";
    case CODE_JIS: return "CODE_JIS";
    case CODE_JIS78: return "CODE_JIS78";
    case CODE_EUC: return "CODE_EUC";
    case CODE_SJIS: return "CODE_SJIS";
    case CODE_EUC_OR_SJIS: return "CODE_EUC_OR_SJIS";
    default: return "?";
  }
}

const char* CharsetName(std::uint16_t charset) {
  switch (charset) {
    case CS_ASCII: return "CS_ASCII";
    case CS_JIS: return "CS_JIS";
    case CS_SJIS: return "CS_SJIS";
    case CS_EUC: return "CS_EUC";
    case CS_UTF16: return "CS_UTF16";
    case CS_UTF8: return "CS_UTF8";
    case CS_UTF7: return "CS_UTF7";
    case CS_UNKNOWN: return "CS_UNKNOWN";
    case CS_BINARY: return "CS_BINARY";
    default: return "?";
  }
}

// Applies `convert` to each line without its line break, keeping the breaks as they were.
template <typename Convert>
void EachLine(std::string_view input, Convert convert) {
  std::size_t start = 0;
  while (start < input.size()) {
    std::size_t end = input.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? input.size() : end + 1;
    if (end == std::string_view::npos) end = input.size();
    std::size_t textEnd = end;
    if (textEnd > start && input[textEnd - 1] == '\r') --textEnd;
    Write(convert(input.substr(start, textEnd - start)));
    Write(input.substr(textEnd, next - textEnd));
    start = next;
  }
}

int Run(std::string_view command, int argc, char** argv) {
  if (command == "jconvert") {
    if (argc != 3) return -1;
    char* end = nullptr;
    const long target = std::strtol(argv[2], &end, 10);
    if (*end != '\0') return -1;
    Write(ConvertJCode(ReadAll(), static_cast<int>(target)));
    return 0;
  }
  if (argc != 2) return -1;
  if (command == "detect") {
    const std::string input = ReadAll();
    const int code = InCodeCheck(input);
    const std::uint16_t charset = DetectCharset(input, static_cast<int>(input.size()) - 1);
    std::printf("InCodeCheck: %d %s\nDetectCharset: 0x%04X %s\n", code, CodeName(code), charset,
                CharsetName(charset));
  } else if (command == "to-sjis") {
    std::string text = ReadAll();
    TextToSjis(text);
    Write(text);
  } else if (command == "decode-header") {
    EachLine(ReadAll(), [](std::string_view line) { return DecodeHeaderWords(line); });
  } else if (command == "encode-header") {
    EachLine(ReadAll(), [](std::string_view line) { return CreateHeaderString(line); });
  } else if (command == "to-utf8") {
    Write(SjisToUtf8(ReadAll()));
  } else if (command == "from-utf8") {
    Write(Utf8ToSjisTyped(ReadAll()));
  } else if (command == "base64") {
    Write(EncodeBase64R(ReadAll(), "\r\n"));
  } else if (command == "unbase64") {
    std::string clean;
    for (char c : ReadAll()) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte > 0x20 && byte < 0x80) clean.push_back(c);
    }
    const auto decoded = DecodeBase64Block(clean);
    if (!decoded) {
      std::fputs("sjisconv: not Base64 (its length is not a multiple of 4)\n", stderr);
      return 1;
    }
    Write(*decoded);
  } else if (command == "unqp") {
    Write(DecodeQuotedPrintable(ReadAll()));
  } else {
    return -1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int result = argc >= 2 ? Run(argv[1], argc, argv) : -1;
  if (result < 0) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  return result;
}
