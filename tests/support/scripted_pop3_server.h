// Servers for faults a real POP3 server will not produce on demand: one that never says a word,
// and one that follows a script and then drops the connection.
#pragma once

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

namespace rirevar::test {

// A listening socket nobody accepts on: the kernel completes the connection, nothing is ever said.
class SilentServer {
 public:
  SilentServer() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(fd_, 4) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      ADD_FAILURE() << "no listening socket";
    }
    port_ = ntohs(address.sin_port);
  }
  ~SilentServer() { close(fd_); }
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;
  int Port() const { return port_; }

 protected:
  int Listener() const { return fd_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

// Greets, answers each command line with the next reply in turn, then closes the connection.
class ScriptedServer : public SilentServer {
 public:
  explicit ScriptedServer(std::vector<std::string> replies)
      : thread_([this, replies = std::move(replies)] {
          const int client = accept(Listener(), nullptr, nullptr);
          if (client < 0) return;
          Write(client, "+OK ready\r\n");
          for (const auto& reply : replies) {
            std::string command;
            char c = 0;
            while (read(client, &c, 1) == 1 && c != '\n') command += c;
            if (!command.empty() && command.back() == '\r') command.pop_back();
            commands_.push_back(command);
            Write(client, reply);
          }
          close(client);
        }) {}
  ~ScriptedServer() { Join(); }

  // The command lines received, once the script has ended.
  const std::vector<std::string>& Commands() {
    Join();
    return commands_;
  }

 private:
  void Join() {
    if (thread_.joinable()) thread_.join();
  }

  static void Write(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
      const auto written = send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
      if (written <= 0) return;
      done += static_cast<std::size_t>(written);
    }
  }

  std::vector<std::string> commands_;
  std::thread thread_;
};

}  // namespace rirevar::test
