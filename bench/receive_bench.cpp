// Receiving 500 realistic messages from the local Dovecot into the database, against a bare fetch
// of the same 500 messages over the same kind of connection (plain POP3 on the loopback), in one
// run. The messages mix sizes (a few KB to a few hundred KB), ISO-2022-JP, Shift-JIS (Base64),
// EUC-JP (8 bit) and UTF-8 (Base64) text, and Base64 attachments.
//
//   scripts/bench receive            (starts the servers, runs this, stops them)
//   build/bench/receive_bench [corpus]   with RIREVAR_TEST_DB_* and RIREVAR_TEST_POP3_* set
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "receive/pop3_session.h"
#include "receive/receive_engine.h"
#include "test_mailbox.h"
#include "text/header_words.h"
#include "text/transfer_encoding.h"

namespace {

using namespace rirevar;
using namespace rirevar::bench;

constexpr int kMessages = 500;

class QuietView : public ReceiveView {
 public:
  void ShowStatus(const std::string&) override {}
  bool NewMailListEmpty() const override { return listed == 0; }
  void AddNewMail(int id, const std::string&) override { listed += id > 0 ? 1 : 0; }
  void ClearPopupIfHidden() override {}
  void AddPopup(int, const std::string&) override {}
  void RefreshMailList() override {}
  int listed = 0;
};

std::vector<std::string> Base64Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  const std::string encoded = EncodeBase64(bytes);
  for (std::size_t at = 0; at < encoded.size(); at += 76) lines.push_back(encoded.substr(at, 76));
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// Message n of the mix: mostly a few KB of text, every tenth about 100 KB, every fifth with an
// attachment of 20 to 300 KB.
std::vector<std::string> Message(const std::string& corpus, int n) {
  std::uint32_t random = 2166136261u ^ static_cast<std::uint32_t>(n * 16777619);
  auto next = [&random] {
    random ^= random << 13;
    random ^= random >> 17;
    random ^= random << 5;
    return random;
  };
  const std::size_t textSize = n % 10 == 0 ? 100000 : 2000 + next() % 18000;
  const std::size_t from = next() % corpus.size();
  const std::string subject = CreateHeaderString(Utf8ToSjisTyped("会議の資料 第") + std::to_string(n) + "号");
  std::vector<std::string> lines = {
      "Return-Path: <sender" + std::to_string(n % 37) + "@example.co.jp>",
      "Received: from mx.example.co.jp (mx.example.co.jp [192.0.2.25]) by pop.example.jp",
      "From: " + CreateHeaderString(Utf8ToSjisTyped("山田 太郎")) + " <yamada@example.co.jp>",
      "To: suzuki@example.jp",
      "Subject: " + subject,
      "Date: Mon, 6 May 2024 10:" + std::to_string(10 + n % 50) + ":" + std::to_string(10 + n % 49) + " +0900",
      "Message-ID: <" + std::to_string(n) + ".bench@example.co.jp>",
      "MIME-Version: 1.0",
  };
  std::vector<std::string> body;
  std::string type;
  switch (n % 4) {
    case 0:
      type = "text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: 7bit";
      body = JapaneseLines(corpus, textSize, CODE_JIS, from);
      break;
    case 1:
      type = "text/plain; charset=Shift_JIS\r\nContent-Transfer-Encoding: base64";
      body = Base64Lines(Joined(JapaneseLines(corpus, textSize, CODE_SJIS, from)));
      break;
    case 2:
      type = "text/plain; charset=EUC-JP\r\nContent-Transfer-Encoding: 8bit";
      body = JapaneseLines(corpus, textSize, CODE_EUC, from);
      break;
    default:
      type = "text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: base64";
      body = Base64Lines(Joined(JapaneseLines(corpus, textSize, kUtf8, from)));
      break;
  }
  auto addType = [&lines](const std::string& text) {
    const std::size_t cut = text.find("\r\n");
    lines.push_back("Content-Type: " + text.substr(0, cut));
    lines.push_back(text.substr(cut + 2));
  };
  if (n % 5 != 0) {
    addType(type);
    lines.push_back("");
    lines.insert(lines.end(), body.begin(), body.end());
    return lines;
  }
  const std::string boundary = "----=_Part_" + std::to_string(n) + "_bench";
  lines.push_back("Content-Type: multipart/mixed; boundary=\"" + boundary + "\"");
  lines.insert(lines.end(), {"", "--" + boundary});
  addType(type);
  lines.push_back("");
  lines.insert(lines.end(), body.begin(), body.end());
  lines.insert(lines.end(), {"--" + boundary, "Content-Type: application/pdf; name=\"data" + std::to_string(n) + ".pdf\"",
                             "Content-Transfer-Encoding: base64",
                             "Content-Disposition: attachment; filename=\"data" + std::to_string(n) + ".pdf\"", ""});
  for (std::string& line : Base64Lines(BinaryBytes(20000 + next() % 280000, next()))) lines.push_back(std::move(line));
  lines.push_back("--" + boundary + "--");
  return lines;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string corpusPath = argc > 1 ? argv[1] : RIREVAR_BENCH_CORPUS;
  const std::string corpus = ReadFile(corpusPath);
  const char* host = std::getenv("RIREVAR_TEST_DB_HOST");
  const char* user = std::getenv("RIREVAR_TEST_DB_USER");
  if (corpus.empty() || host == nullptr || user == nullptr || std::getenv("RIREVAR_TEST_POP3_HOST") == nullptr) {
    std::fprintf(stderr, "receive_bench: needs the corpus (%s) and the test servers; run scripts/bench receive\n",
                 corpusPath.c_str());
    return 1;
  }
  Scratch scratch(host, user, RIREVAR_INITTBL);
  test::TestMailbox mailbox;
  std::size_t bytes = 0;
  for (int n = 1; n <= kMessages; ++n) {
    const std::vector<std::string> lines = Message(corpus, n);
    for (const std::string& line : lines) bytes += line.size() + 2;
    mailbox.Put(lines);
  }
  const double megabytes = static_cast<double>(bytes) / kMegabyte;
  std::printf("%d messages, %.1f MB on the server (plain POP3 on 127.0.0.1)\n\n", kMessages, megabytes);

  // The bare fetch: log in, STAT, RETR of every message, QUIT; best of three (the server's cache warm).
  double fetch = 1e9;
  for (int round = 0; round < 3; ++round) {
    const auto begin = std::chrono::steady_clock::now();
    Pop3Session session;
    session.Connect(mailbox.Host(), mailbox.Port(), mailbox.User(), test::TestMailbox::kPassword, false);
    const int count = session.Count();
    std::size_t fetched = 0;
    for (int j = 1; j <= count; ++j) fetched += session.Retrieve(j).size();
    session.Disconnect();
    fetch = std::min(fetch, Seconds(begin));
    if (count != kMessages || fetched == 0) {
      std::fprintf(stderr, "receive_bench: the server holds %d messages\n", count);
      return 1;
    }
  }

  // The receive: the same, plus reading, converting and storing each message and deleting it.
  char pattern[] = "/tmp/rirevar_bench_temp_XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  Settings settings;
  settings.SetValue("MaxMailSize", "2048");
  settings.SetValue("Pop0", "bench|" + mailbox.Host() + "|" + mailbox.User() + "|" +
                                ScramblePassword(test::TestMailbox::kPassword, PasswordStart("bench")) + "|" +
                                std::to_string(mailbox.Port()) + "|0|0|");
  QuietView view;
  ReceiveEngine engine(settings, &scratch.db,
                       {std::string(pattern) + "/header.log", std::string(pattern) + "/error.log", scratch.tenpDir},
                       view);
  const auto begin = std::chrono::steady_clock::now();
  const std::string summary = engine.Run(255);
  const double receive = Seconds(begin);
  std::filesystem::remove_all(pattern);
  const int stored = std::stoi(scratch.db.Query("select count(*) from mail").Text(0, 0));
  if (summary != "bench:Ok" || stored != kMessages || mailbox.Count() != 0) {
    std::fprintf(stderr, "receive_bench: summary %s, %d stored, %d left on the server\n", summary.c_str(), stored,
                 mailbox.Count());
    return 1;
  }

  std::printf("%-34s %9s %12s %9s\n", "", "seconds", "messages/s", "MB/s");
  std::printf("%-34s %9.2f %12.1f %9.1f\n", "bare fetch (baseline)", fetch, kMessages / fetch, megabytes / fetch);
  std::printf("%-34s %9.2f %12.1f %9.1f\n", "receive and store (rirevar)", receive, kMessages / receive,
              megabytes / receive);
  std::printf("\nreceive / fetch: %.2f (goal: at most 2)\n", receive / fetch);
  return 0;
}
