// A POP3 client session over one connection: log-in, STAT, RETR, DELE, NOOP and QUIT, with time-outs.
// libcurl makes the TCP or TLS connection; the session speaks POP3 on it itself, so QUIT goes out
// only from Disconnect() and a session dropped without it leaves the server's messages untouched.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <curl/curl.h>

namespace rirevar {

// The server's "-ERR ..." line, or what went wrong with the connection.
class Pop3Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Pop3Options {
  // Up to the end of the TCP connection and the TLS handshake.
  std::chrono::milliseconds ConnectTimeout{std::chrono::seconds(15)};
  // The longest silence while a reply is awaited; a slow but moving download never runs out.
  std::chrono::milliseconds ReadTimeout{std::chrono::seconds(30)};
  // The port on which the connection is TLS from the start, with certificate and host checked.
  int TlsPort = 995;
  // A file of certificates to trust instead of the system's (a test server's own authority).
  std::string CaFile;
  // The largest message taken; beyond it the server is deemed broken rather than memory spent.
  std::size_t MaxMessageBytes = std::size_t{256} << 20;
};

class Pop3Session {
 public:
  explicit Pop3Session(Pop3Options options = {});
  // Drops the connection without QUIT.
  ~Pop3Session();
  Pop3Session(const Pop3Session&) = delete;
  Pop3Session& operator=(const Pop3Session&) = delete;

  // Connects, reads the greeting and logs in with APOP or USER/PASS.
  void Connect(const std::string& host, int port, const std::string& user, const std::string& password,
               bool apop);
  // STAT: the number of messages.
  [[nodiscard]] int Count();
  // RETR n: the message's lines without CR LF, dot-unstuffed, without the final ".".
  [[nodiscard]] std::vector<std::string> Retrieve(int n);
  // DELE n: carried out by the server only when the session ends with Disconnect().
  void Delete(int n);
  void Noop();
  // QUIT, then close.
  void Disconnect();
  // Closes without QUIT: the server carries out none of this session's deletions.
  void Abort();
  [[nodiscard]] bool Connected() const;

 private:
  void Send(std::string_view command);
  std::string ReadLine(std::size_t limit);
  std::string Command(std::string_view command);
  std::string ReadStatus();
  void WaitForSocket(bool forWriting, std::chrono::milliseconds timeout);
  [[noreturn]] void Fail(const std::string& message);

  Pop3Options options_;
  CURL* curl_ = nullptr;
  curl_socket_t socket_ = CURL_SOCKET_BAD;
  std::string received_;
  std::size_t lineStart_ = 0;
};

// The lower-case hex MD5 digest of `data`.
[[nodiscard]] std::string Md5Hex(std::string_view data);
// The "<...>" time stamp of an APOP-capable server's greeting.
[[nodiscard]] std::optional<std::string> ApopTimestamp(std::string_view greeting);
// The digest the APOP command sends: MD5 of the time stamp followed by the password.
[[nodiscard]] std::string ApopDigest(std::string_view timestamp, std::string_view password);

}  // namespace rirevar
