// A user of the test run's Dovecot (scripts/dovecot_test_server start, which sets
// RIREVAR_TEST_POP3_HOST and RIREVAR_TEST_POP3_DIR) with a maildir of its own.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace rirevar::test {

class TestMailbox {
 public:
  static constexpr const char* kPassword = "pa55-word";

  // Throws std::runtime_error when the server is not there.
  TestMailbox() {
    const char* address = std::getenv("RIREVAR_TEST_POP3_HOST");
    const char* dir = std::getenv("RIREVAR_TEST_POP3_DIR");
    if (address == nullptr || dir == nullptr) {
      throw std::runtime_error(
          "RIREVAR_TEST_POP3_HOST and RIREVAR_TEST_POP3_DIR are not set: start the server with "
          "eval \"$(scripts/dovecot_test_server start DIR)\"");
    }
    const std::string hostPort = address;
    host_ = hostPort.substr(0, hostPort.rfind(':'));
    port_ = std::stoi(hostPort.substr(hostPort.rfind(':') + 1));
    dir_ = dir;
    static int users = 0;
    user_ = "u" + std::to_string(getpid()) + "x" + std::to_string(++users);
    struct stat owner {};
    if (stat((dir_ / "mail").c_str(), &owner) != 0) throw std::runtime_error("no " + (dir_ / "mail").string());
    uid_ = owner.st_uid;
    gid_ = owner.st_gid;
    for (const char* sub : {"", "/new", "/cur", "/tmp"}) MakeOwned(Maildir().string() + sub, true);
    std::ofstream(dir_ / "users" / user_) << user_ << ":{PLAIN}" << kPassword << "\n";
  }

  // Puts a message into the maildir; Dovecot numbers new messages in the order they were put.
  void Put(const std::string& text) {
    const auto path = Maildir() / "new" / (std::to_string(1700000000 + ++messages_) + ".M1P1.rirevar");
    std::ofstream(path, std::ios::binary) << text;
    MakeOwned(path, false);
  }
  // The lines each end in LF, as maildir keeps them.
  void Put(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    Put(text);
  }

  // The messages still on the server.
  [[nodiscard]] int Count() const {
    int count = 0;
    for (const char* sub : {"new", "cur"}) {
      for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(Maildir() / sub)) ++count;
    }
    return count;
  }
  // The message files' contents, in no particular order.
  [[nodiscard]] std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const char* sub : {"new", "cur"}) {
      for (const auto& entry : std::filesystem::directory_iterator(Maildir() / sub)) {
        std::ifstream file(entry.path(), std::ios::binary);
        texts.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
      }
    }
    return texts;
  }

  // POP3 over TLS: the port, and the authority that signed the server's certificate (made for
  // the name "localhost").
  [[nodiscard]] static int TlsPort() {
    const char* port = std::getenv("RIREVAR_TEST_POP3S_PORT");
    return port != nullptr ? std::atoi(port) : 0;
  }
  [[nodiscard]] static std::string CaFile() {
    const char* file = std::getenv("RIREVAR_TEST_POP3_CA");
    return file != nullptr ? file : "";
  }

  [[nodiscard]] const std::string& Host() const { return host_; }
  [[nodiscard]] int Port() const { return port_; }
  [[nodiscard]] const std::string& User() const { return user_; }

 private:
  [[nodiscard]] std::filesystem::path Maildir() const { return dir_ / "mail" / user_; }

  void MakeOwned(const std::filesystem::path& path, bool directory) {
    if (directory) std::filesystem::create_directories(path);
    if (chown(path.c_str(), uid_, gid_) != 0) {
      throw std::system_error(errno, std::generic_category(), "chown " + path.string());
    }
  }

  std::string host_;
  int port_ = 0;
  std::filesystem::path dir_;
  std::string user_;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
  int messages_ = 0;
};

}  // namespace rirevar::test
