#include "receive/pop3_session.h"

#include <poll.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace rirevar {
namespace {

using Clock = std::chrono::steady_clock;

// A status line longer than this is no POP3 server's (the protocol allows 512 bytes).
constexpr std::size_t kMaxStatusBytes = 64 * 1024;

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Parses a non-negative decimal number at the start of `text`.
std::optional<long long> LeadingNumber(std::string_view text) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data() || value < 0) return std::nullopt;
  return value;
}

std::string Url(const std::string& host, int port, bool tls) {
  // An IPv6 address needs brackets in a URL.
  const bool ipv6 = host.find(':') != std::string::npos && !StartsWith(host, "[");
  return std::string(tls ? "https://" : "http://") + (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

void CheckArgument(std::string_view value, const char* what) {
  if (value.find_first_of("\r\n") != std::string_view::npos)
    throw Pop3Error(std::string("the ") + what + " contains a line break");
}

// MD5 of RFC 1321.
class Md5 {
 public:
  void Update(std::string_view data) {
    for (const char c : data) {
      block_[used_++] = static_cast<std::uint8_t>(c);
      if (used_ == 64) Transform();
    }
    length_ += data.size();
  }

  std::array<std::uint8_t, 16> Finish() {
    const std::uint64_t bits = length_ * 8;
    block_[used_++] = 0x80;
    if (used_ > 56) {
      while (used_ < 64) block_[used_++] = 0;
      Transform();
    }
    while (used_ < 56) block_[used_++] = 0;
    for (int i = 0; i < 8; ++i) block_[used_++] = static_cast<std::uint8_t>(bits >> (8 * i));
    Transform();
    std::array<std::uint8_t, 16> digest{};
    for (int i = 0; i < 16; ++i) digest[i] = static_cast<std::uint8_t>(state_[i / 4] >> (8 * (i % 4)));
    return digest;
  }

 private:
  static std::uint32_t Rotate(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

  void Transform() {
    static constexpr std::array<std::uint32_t, 64> kSine = {
        0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
        0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
        0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
        0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
        0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
        0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
        0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
        0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
    static constexpr std::array<int, 16> kShift = {7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21};
    std::array<std::uint32_t, 16> words{};
    for (int i = 0; i < 16; ++i) {
      words[i] = block_[4 * i] | (block_[4 * i + 1] << 8) | (block_[4 * i + 2] << 16) |
                 (static_cast<std::uint32_t>(block_[4 * i + 3]) << 24);
    }
    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    for (int i = 0; i < 64; ++i) {
      std::uint32_t f = 0;
      int g = 0;
      switch (i / 16) {
        case 0: f = (b & c) | (~b & d); g = i; break;
        case 1: f = (d & b) | (~d & c); g = (5 * i + 1) % 16; break;
        case 2: f = b ^ c ^ d; g = (3 * i + 5) % 16; break;
        default: f = c ^ (b | ~d); g = (7 * i) % 16; break;
      }
      const std::uint32_t next = d;
      d = c;
      c = b;
      b = b + Rotate(a + f + kSine[i] + words[g], kShift[(i / 16) * 4 + i % 4]);
      a = next;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    used_ = 0;
  }

  std::array<std::uint32_t, 4> state_ = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
  std::array<std::uint8_t, 64> block_{};
  std::size_t used_ = 0;
  std::uint64_t length_ = 0;
};

}  // namespace

std::string Md5Hex(std::string_view data) {
  Md5 md5;
  md5.Update(data);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (const std::uint8_t byte : md5.Finish()) {
    hex += kHex[byte >> 4];
    hex += kHex[byte & 15];
  }
  return hex;
}

std::optional<std::string> ApopTimestamp(std::string_view greeting) {
  const auto open = greeting.find('<');
  if (open == std::string_view::npos) return std::nullopt;
  const auto close = greeting.find('>', open);
  if (close == std::string_view::npos) return std::nullopt;
  return std::string(greeting.substr(open, close - open + 1));
}

std::string ApopDigest(std::string_view timestamp, std::string_view password) {
  return Md5Hex(std::string(timestamp) + std::string(password));
}

Pop3Session::Pop3Session(Pop3Options options) : options_(options) {}

Pop3Session::~Pop3Session() { Abort(); }

bool Pop3Session::Connected() const { return curl_ != nullptr; }

void Pop3Session::Abort() {
  if (curl_ != nullptr) curl_easy_cleanup(curl_);
  curl_ = nullptr;
  socket_ = CURL_SOCKET_BAD;
  received_.clear();
  lineStart_ = 0;
}

void Pop3Session::Fail(const std::string& message) {
  Abort();
  throw Pop3Error(message);
}

void Pop3Session::Connect(const std::string& host, int port, const std::string& user,
                          const std::string& password, bool apop) {
  Abort();
  CheckArgument(user, "user name");
  CheckArgument(password, "password");
  curl_ = curl_easy_init();
  if (curl_ == nullptr) throw Pop3Error("libcurl could not be initialised");
  const bool tls = port == options_.TlsPort;
  // With a pop3 URL libcurl would read the greeting and log in itself, and send QUIT when it
  // closes; an http(s) URL with CONNECT_ONLY gives the bare TCP or TLS connection and no more.
  const std::string url = Url(host, port, tls);
  std::array<char, CURL_ERROR_SIZE> error{};
  curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl_, CURLOPT_CONNECT_ONLY, 1L);
  curl_easy_setopt(curl_, CURLOPT_NOPROXY, "*");
  curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options_.ConnectTimeout.count()));
  curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!options_.CaFile.empty()) curl_easy_setopt(curl_, CURLOPT_CAINFO, options_.CaFile.c_str());
  curl_easy_setopt(curl_, CURLOPT_SSL_ENABLE_ALPN, 0L);
  curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, error.data());
  const CURLcode result = curl_easy_perform(curl_);
  curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, nullptr);
  if (result != CURLE_OK) {
    Fail("connect to " + host + ":" + std::to_string(port) + ": " +
         (error[0] != '\0' ? std::string(error.data()) : std::string(curl_easy_strerror(result))));
  }
  if (curl_easy_getinfo(curl_, CURLINFO_ACTIVESOCKET, &socket_) != CURLE_OK || socket_ == CURL_SOCKET_BAD)
    Fail("connect to " + host + ": no socket");

  try {
    const std::string greeting = ReadStatus();
    if (apop) {
      const auto timestamp = ApopTimestamp(greeting);
      if (!timestamp) Fail("the server does not offer APOP");
      Command("APOP " + user + " " + ApopDigest(*timestamp, password));
    } else {
      Command("USER " + user);
      Command("PASS " + password);
    }
  } catch (const Pop3Error&) {
    // A session that is not logged in is of no use.
    Abort();
    throw;
  }
}

int Pop3Session::Count() {
  const std::string status = Command("STAT");
  const auto count = LeadingNumber(status);
  if (!count || *count > INT32_MAX) Fail("unexpected STAT answer: +OK " + status);
  return static_cast<int>(*count);
}

std::vector<std::string> Pop3Session::Retrieve(int n) {
  Command("RETR " + std::to_string(n));
  std::vector<std::string> lines;
  std::size_t total = 0;
  for (;;) {
    std::string line = ReadLine(options_.MaxMessageBytes - total);
    if (line == ".") return lines;
    if (StartsWith(line, ".")) line.erase(0, 1);
    total += line.size() + 2;
    if (total > options_.MaxMessageBytes) Fail("message " + std::to_string(n) + " is too large");
    lines.push_back(std::move(line));
  }
}

void Pop3Session::Delete(int n) { Command("DELE " + std::to_string(n)); }

void Pop3Session::Noop() { Command("NOOP"); }

void Pop3Session::Disconnect() {
  if (!Connected()) return;
  Command("QUIT");
  Abort();
}

std::string Pop3Session::Command(std::string_view command) {
  if (!Connected()) throw Pop3Error("not connected");
  Send(std::string(command) + "\r\n");
  return ReadStatus();
}

// "-ERR" leaves the session usable; a reply that is neither answer means the exchange is lost.
std::string Pop3Session::ReadStatus() {
  std::string line = ReadLine(kMaxStatusBytes);
  if (StartsWith(line, "+OK")) return line.substr(line.size() > 3 && line[3] == ' ' ? 4 : 3);
  if (StartsWith(line, "-ERR")) throw Pop3Error(line);
  Fail("unexpected server answer: " + line.substr(0, 200));
}

void Pop3Session::Send(std::string_view data) {
  while (!data.empty()) {
    std::size_t sent = 0;
    const CURLcode result = curl_easy_send(curl_, data.data(), data.size(), &sent);
    if (result == CURLE_AGAIN) {
      WaitForSocket(true, options_.ReadTimeout);
      continue;
    }
    if (result != CURLE_OK) Fail(std::string("send: ") + curl_easy_strerror(result));
    data.remove_prefix(sent);
  }
}

// One line without its CR LF (a bare LF ends a line too).
std::string Pop3Session::ReadLine(std::size_t limit) {
  std::size_t searched = lineStart_;
  for (;;) {
    const auto end = received_.find('\n', searched);
    if (end != std::string::npos) {
      const bool cr = end > lineStart_ && received_[end - 1] == '\r';
      std::string line = received_.substr(lineStart_, end - lineStart_ - (cr ? 1 : 0));
      lineStart_ = end + 1;
      return line;
    }
    // Lines already handed out are dropped only here, not one by one, so a long reply costs no
    // more than a copy per arriving chunk.
    received_.erase(0, lineStart_);
    lineStart_ = 0;
    searched = received_.size();
    if (received_.size() > limit) Fail("the server's answer is too long");
    std::array<char, 64 * 1024> buffer;
    std::size_t got = 0;
    const CURLcode result = curl_easy_recv(curl_, buffer.data(), buffer.size(), &got);
    if (result == CURLE_AGAIN) {
      WaitForSocket(false, options_.ReadTimeout);
      continue;
    }
    if (result != CURLE_OK) Fail(std::string("receive: ") + curl_easy_strerror(result));
    if (got == 0) Fail("the server closed the connection");
    received_.append(buffer.data(), got);
  }
}

void Pop3Session::WaitForSocket(bool forWriting, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) Fail("no answer from the server within " + std::to_string(timeout.count()) + " ms");
    pollfd pfd{static_cast<int>(socket_), static_cast<short>(forWriting ? POLLOUT : POLLIN), 0};
    const int ready = poll(&pfd, 1, static_cast<int>(left.count()));
    if (ready > 0) return;
    if (ready < 0 && errno != EINTR) Fail(std::string("poll: ") + std::strerror(errno));
  }
}

}  // namespace rirevar
