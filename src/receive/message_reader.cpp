#include "receive/message_reader.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <iterator>
#include <utility>

#include "text/header_words.h"
#include "text/incoming_text.h"
#include "text/jconvert.h"
#include "text/transfer_encoding.h"

namespace rirevar {
namespace {

constexpr std::string_view kNoDate = "1899-12-30 00:00:00";
constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kUnknownName = "\x95\x73\x96\xBE";   // 不明
constexpr std::string_view kAttachedName = "\x93\x59\x95\x74";  // 添付

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
  return out;
}

// The escape byte stays: it opens raw ISO-2022-JP text, which cannot be read without it.
bool IsTrimmed(char c) { return Byte(c) <= 0x20 && c != '\x1B'; }

std::string_view TrimControls(std::string_view text) {
  while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);
  return text;
}

bool IsSjisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// First occurrence of `key` that starts on a character, not on the second byte of one.
std::size_t FindAtCharacter(std::string_view text, std::string_view key) {
  for (std::size_t i = 0; i + key.size() <= text.size();) {
    if (text.compare(i, key.size(), key) == 0) return i;
    i += IsSjisLead(Byte(text[i])) && i + 1 < text.size() ? 2 : 1;
  }
  return std::string_view::npos;
}

void AppendLine(std::string& text, bool& hasLines, std::string_view line) {
  if (hasLines) text += kCrLf;
  text += line;
  hasLines = true;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const std::string& line : lines) size += line.size() + kCrLf.size();
  std::string text;
  text.reserve(size);
  bool hasLines = false;
  for (const std::string& line : lines) AppendLine(text, hasLines, line);
  return text;
}

// Decoded text keeps the line breaks its sender wrote; the system's text breaks lines with CR LF.
std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += kCrLf;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// A text body in Shift-JIS. Base64 and quoted-printable bodies are decoded first; a Base64 text
// that does not decode stays as it came. Breaks are made CR LF after the conversion, where no
// byte of a character can be taken for one (UTF-16 text can hold 0x0A bytes).
std::string TextBody(std::string text, std::string_view encoding) {
  bool decoded = false;
  if (encoding == "base64") {
    std::string kept;
    kept.reserve(text.size());
    for (char c : text) {
      if (Byte(c) >= 0x21 && Byte(c) <= 0x7F) kept.push_back(c);
    }
    if (std::optional<std::string> bytes = DecodeBase64Block(kept)) {
      text = std::move(*bytes);
      decoded = true;
    }
  } else if (encoding == "quoted-printable") {
    text = DecodeQuotedPrintable(text);
    decoded = true;
  }
  TextToSjis(text);
  return decoded ? WithCrLf(text) : text;
}

// Reads one header field from lines that may still grow, each line once: a part header that
// never names its type can take in a whole message, and is consulted at every empty line.
class FieldReader {
 public:
  explicit FieldReader(std::string_view name) : key_(Lower(name)) {}

  void Reset() {
    next_ = 0;
    found_ = false;
    ended_ = false;
    words_.clear();
    converted_.reset();
  }

  FieldReader& Read(const std::vector<std::string>& lines) {
    for (; next_ < lines.size() && !ended_; ++next_) {
      const std::string& line = lines[next_];
      if (found_) {
        if (line.empty() || static_cast<signed char>(line.front()) > 32) {
          ended_ = true;
          break;
        }
        words_ += DecodeHeaderWords(TrimControls(line));
        converted_.reset();
      } else if (std::optional<std::string_view> value = ValueOf(line)) {
        words_ = DecodeHeaderWords(TrimControls(*value));
        converted_.reset();
        found_ = true;
      }
    }
    return *this;
  }

  const std::string& Value() {
    if (!converted_) {
      converted_ = ConvertJCode(words_, CODE_SJIS);
      const std::size_t escape = converted_->find("\x1B(J");
      if (escape != std::string::npos) converted_->erase(escape, 3);
    }
    return *converted_;
  }

 private:
  // What follows the name, the colon and at most one blank, when the line is this field.
  std::optional<std::string_view> ValueOf(std::string_view line) const {
    if (line.size() < key_.size() || Lower(line.substr(0, key_.size())) != key_) return std::nullopt;
    std::size_t at = key_.size();
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    if (at == line.size() || line[at] != ':') return std::nullopt;
    ++at;
    if (at < line.size() && line[at] == ' ') ++at;
    return line.substr(at);
  }

  std::string key_;
  std::size_t next_ = 0;
  bool found_ = false;
  bool ended_ = false;
  std::string words_;
  std::optional<std::string> converted_;
};

class PartScanner {
 public:
  PartScanner(const ReceivedHeader& header, MessageStore& store, std::string boundary)
      : header_(header), store_(store), boundaries_{std::move(boundary)} {}

  void Scan(const std::vector<std::string>& lines) {
    const std::size_t count = lines.size();
    for (std::size_t i = 0; i < count && !duplicate_; ++i) {
      if (i % 512 == 511) store_.Progress(static_cast<int>(static_cast<unsigned long long>(i) * 100 / count));
      Take(lines[i]);
    }
    if (duplicate_) return;
    // A message cut off inside a part keeps what arrived of it.
    if (state_ >= 2) EndPart();
    // A message whose parts were not recognised is kept whole rather than lost.
    if (!duplicate_ && !textStored_) Store(TextBody(JoinLines(lines), header_.transferEncoding));
  }

 private:
  void Take(const std::string& line) {
    if (state_ != 1) FindBoundary(line);
    switch (state_) {
      case 0:
        if (boundarySeen_) state_ = 1;
        break;
      case 1:
        if (line.empty()) {
          EndPartHeader();
        } else {
          partHeader_.push_back(line);
        }
        break;
      default:
        if (boundarySeen_) {
          EndPart();
        } else if (state_ == 4) {
          base64_ += line;
        } else {
          AppendLine(partText_, partHasLines_, line);
        }
        break;
    }
  }

  void FindBoundary(std::string_view line) {
    for (const std::string& boundary : boundaries_) {
      const std::size_t at = line.find(boundary);
      if (at == std::string_view::npos) continue;
      boundarySeen_ = true;
      // The text before the two dashes belongs to the part that ends here.
      if (at >= 2) AppendLine(partText_, partHasLines_, line.substr(0, at - 2));
      partHeader_.clear();
      contentType_.Reset();
      transferEncoding_.Reset();
      return;
    }
  }

  void EndPartHeader() {
    boundarySeen_ = false;
    const std::string contentType = contentType_.Read(partHeader_).Value();
    encoding_ = Lower(transferEncoding_.Read(partHeader_).Value());
    if (std::optional<std::string> boundary = HeaderParam(contentType, "boundary")) {
      if (std::find(boundaries_.begin(), boundaries_.end(), *boundary) == boundaries_.end()) {
        boundaries_.push_back(std::move(*boundary));
      }
    }
    if (contentType.find("text/html") != std::string::npos) {
      ClearPartText();
      name_ = std::to_string(++nameCounter_) + ".html";
      state_ = 3;
    } else if (contentType.find("text/plain") != std::string::npos && !textStored_) {
      ClearPartText();
      state_ = 2;
      textStored_ = true;
    } else if (contentType.find("alternative") != std::string::npos) {
      state_ = 0;
    } else if (!contentType.empty()) {
      const std::optional<std::string> filename =
          HeaderParam(HeaderField("Content-Disposition", partHeader_), "filename");
      const bool base64 = encoding_ == "base64";
      if (base64) {
        base64_.clear();
      } else {
        ClearPartText();
      }
      name_ = filename ? *filename
                       : std::string(base64 ? kAttachedName : kUnknownName) + std::to_string(++nameCounter_);
      state_ = base64 ? 4 : 3;
    }
  }

  void EndPart() {
    const int ended = state_;
    state_ = 1;
    if (ended == 2) {
      Store(TextBody(std::move(partText_), encoding_));
      ClearPartText();
      return;
    }
    if (!textStored_) {
      textStored_ = true;
      if (!Store({})) return;
    }
    store_.StoreAttachment(name_, encoding_, ended == 4 ? base64_ : partText_);
  }

  bool Store(const std::string& body) {
    duplicate_ = !store_.StoreReceived(header_, body);
    return !duplicate_;
  }

  void ClearPartText() {
    partText_.clear();
    partHasLines_ = false;
  }

  const ReceivedHeader& header_;
  MessageStore& store_;
  std::vector<std::string> boundaries_;
  // 0 outside a part, 1 in a part header, 2 in the body text, 3 in an attachment kept as lines,
  // 4 in a Base64 attachment kept as one text.
  int state_ = 0;
  bool boundarySeen_ = false;
  bool textStored_ = false;
  bool duplicate_ = false;
  int nameCounter_ = 0;
  std::vector<std::string> partHeader_;
  FieldReader contentType_{"Content-Type"};
  FieldReader transferEncoding_{"Content-Transfer-Encoding"};
  std::string encoding_;
  std::string name_;
  std::string partText_;
  bool partHasLines_ = false;
  std::string base64_;
};

// Date parts.

std::string WithoutComments(std::string_view text) {
  std::string out;
  int depth = 0;
  for (char c : text) {
    if (c == '(') {
      ++depth;
    } else if (c == ')' && depth > 0) {
      --depth;
    } else if (depth == 0) {
      out.push_back(c);
    }
  }
  return out;
}

// Words of the date; blanks around the colons of the time go, so that "09 : 05" reads as "09:05".
std::vector<std::string> DateWords(std::string_view value) {
  const std::string text = WithoutComments(value);
  std::vector<std::string> words;
  std::string word;
  bool afterColon = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool blank = Byte(c) <= 0x20 || c == ',';
    if (blank) {
      std::size_t next = i;
      while (next < text.size() && Byte(text[next]) <= 0x20) ++next;
      const bool beforeColon = next < text.size() && text[next] == ':';
      if (afterColon || (beforeColon && c != ',')) continue;
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
      continue;
    }
    word.push_back(c);
    afterColon = c == ':';
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool AllLetters(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  });
}

int Number(std::string_view digits) {
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

// 1-based index of a name among three-letter names, by its first three letters; 0 when none.
int NameIndex(std::string_view word, std::string_view names) {
  if (word.size() < 3 || !AllLetters(word)) return 0;
  const std::string head = Lower(word.substr(0, 3));
  for (std::size_t i = 0; i + 3 <= names.size(); i += 3) {
    if (names.substr(i, 3) == head) return static_cast<int>(i / 3) + 1;
  }
  return 0;
}

constexpr std::string_view kMonths = "janfebmaraprmayjunjulaugsepoctnovdec";
constexpr std::string_view kDays = "montuewedthufrisatsun";

// Seconds east of UTC; nullopt when the word is no zone. Military letters and unknown names
// carry no reliable offset and count as UTC.
std::optional<long> ZoneOffset(std::string_view word) {
  if ((word[0] == '+' || word[0] == '-') && word.size() >= 2) {
    std::string_view digits = word.substr(1);
    std::string joined;
    if (digits.size() == 5 && digits[2] == ':') {
      joined = std::string(digits.substr(0, 2)) + std::string(digits.substr(3));
      digits = joined;
    }
    if (digits.size() != 4 || !AllDigits(digits) || Number(digits.substr(2)) > 59) return std::nullopt;
    const long seconds = Number(digits.substr(0, 2)) * 3600L + Number(digits.substr(2)) * 60L;
    return word[0] == '-' ? -seconds : seconds;
  }
  if (!AllLetters(word)) return std::nullopt;
  static constexpr struct {
    std::string_view name;
    int hours;
  } kNames[] = {{"est", -5}, {"edt", -4}, {"cst", -6}, {"cdt", -5},
                {"mst", -7}, {"mdt", -6}, {"pst", -8}, {"pdt", -7}};
  const std::string lower = Lower(word);
  for (const auto& zone : kNames) {
    if (lower == zone.name) return zone.hours * 3600L;
  }
  return 0L;
}

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysIn(int month, int year) {
  static constexpr int kDaysIn[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDaysIn[month - 1];
}

}  // namespace

std::string HeaderField(std::string_view name, const std::vector<std::string>& headerLines) {
  FieldReader reader(name);
  return reader.Read(headerLines).Value();
}

std::optional<std::string> HeaderParam(std::string_view value, std::string_view name) {
  const std::size_t at = FindAtCharacter(Lower(value), Lower(name));
  if (at == std::string_view::npos) return std::nullopt;
  std::size_t start = value.find('=', at + name.size());
  start = start == std::string_view::npos ? value.size() : start + 1;
  std::size_t end;
  if (start < value.size() && value[start] == '"') {
    ++start;
    end = std::min(value.find('"', start), value.size());
  } else {
    end = std::min(value.find_first_of(" \t\"", start), value.size());
  }
  if (end <= start) return std::nullopt;
  return std::string(value.substr(start, end - start));
}

std::string MessageDateToLocal(std::string_view value) {
  const std::vector<std::string> words = DateWords(value);
  std::size_t next = 0;
  if (next < words.size() && NameIndex(words[next], kDays) != 0) ++next;
  if (words.size() < next + 4) return std::string(kNoDate);
  const std::string& dayWord = words[next];
  const int month = NameIndex(words[next + 1], kMonths);
  const std::string& yearWord = words[next + 2];
  const std::string& timeWord = words[next + 3];
  if (dayWord.size() > 2 || !AllDigits(dayWord) || month == 0 || yearWord.size() < 2 || yearWord.size() > 4 ||
      !AllDigits(yearWord)) {
    return std::string(kNoDate);
  }
  int year = Number(yearWord);
  if (yearWord.size() == 2) year += year < 50 ? 2000 : 1900;
  if (yearWord.size() == 3) year += 1900;
  const int day = Number(dayWord);
  if (year < 1900 || day < 1 || day > DaysIn(month, year)) return std::string(kNoDate);

  int hour = 0;
  int minute = 0;
  int second = 0;
  std::string_view time = timeWord;
  const std::size_t colon = time.find(':');
  const std::size_t colon2 = colon == std::string_view::npos ? colon : time.find(':', colon + 1);
  const std::string_view hourText = time.substr(0, colon);
  const std::string_view minuteText =
      colon == std::string_view::npos ? std::string_view{} : time.substr(colon + 1, colon2 - colon - 1);
  const std::string_view secondText = colon2 == std::string_view::npos ? std::string_view{} : time.substr(colon2 + 1);
  if (hourText.size() > 2 || !AllDigits(hourText) || minuteText.size() != 2 || !AllDigits(minuteText) ||
      (colon2 != std::string_view::npos && (secondText.size() != 2 || !AllDigits(secondText)))) {
    return std::string(kNoDate);
  }
  hour = Number(hourText);
  minute = Number(minuteText);
  if (!secondText.empty()) second = Number(secondText);
  if (hour > 23 || minute > 59 || second > 60) return std::string(kNoDate);

  long offset = 0;
  if (words.size() > next + 4) {
    const std::optional<long> zone = ZoneOffset(words[next + 4]);
    if (!zone) return std::string(kNoDate);
    offset = *zone;
  }

  std::tm utc{};
  utc.tm_year = year - 1900;
  utc.tm_mon = month - 1;
  utc.tm_mday = day;
  utc.tm_hour = hour;
  utc.tm_min = minute;
  utc.tm_sec = second;
  const std::time_t moment = timegm(&utc) - offset;
  std::tm local{};
  tzset();
  if (localtime_r(&moment, &local) == nullptr || local.tm_year + 1900 < 1 || local.tm_year + 1900 > 9999) {
    return std::string(kNoDate);
  }
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

ReceivedHeader ReadMessageHeader(std::vector<std::string>& lines) {
  const auto end = std::find_if(lines.begin(), lines.end(), [](const std::string& line) { return line.empty(); });
  std::vector<std::string> headerLines(std::make_move_iterator(lines.begin()), std::make_move_iterator(end));
  lines.erase(lines.begin(), end);

  ReceivedHeader header;
  header.subject = HeaderField("Subject", headerLines);
  header.from = HeaderField("From", headerLines);
  header.to = HeaderField("To", headerLines);
  header.cc = HeaderField("Cc", headerLines);
  header.replyTo = HeaderField("Reply-To", headerLines);
  header.date = MessageDateToLocal(HeaderField("Date", headerLines));
  const std::string priority = HeaderField("X-Priority", headerLines);
  header.priority = priority.empty() ? 3 : Byte(priority.front()) - '0';
  header.contentType = HeaderField("Content-Type", headerLines);
  for (const std::string& line : headerLines) {
    header.rawHeader += line;
    header.rawHeader += kCrLf;
  }
  header.transferEncoding = Lower(HeaderField("Content-Transfer-Encoding", headerLines));
  return header;
}

void StoreMessageParts(const ReceivedHeader& header, const std::vector<std::string>& lines, MessageStore& store) {
  if (std::optional<std::string> boundary = HeaderParam(header.contentType, "boundary")) {
    PartScanner(header, store, std::move(*boundary)).Scan(lines);
    return;
  }
  store.StoreReceived(header, TextBody(JoinLines(lines), header.transferEncoding));
}

}  // namespace rirevar
