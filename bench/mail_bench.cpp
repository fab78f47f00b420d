// Reading and storing one large received message: a long ISO-2022-JP text part of real prose and
// a Base64 attachment, at 1, 5 and 10 MB, so that the cost is seen to grow linearly. Measures the
// scan alone (into a store that only counts) and the scan with the database store, in one run.
//
//   build/bench/mail_bench [corpus]     (default: build/corpus/manpages-ja.txt)
//
// The database figures need a test server named by RIREVAR_TEST_DB_HOST and RIREVAR_TEST_DB_USER.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <stdexcept>
#include <sstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "app/database.h"
#include "app/init_script.h"
#include "app/settings.h"
#include "receive/message_reader.h"
#include "receive/received_store.h"
#include "text/jconvert.h"
#include "text/sjis_unicode.h"
#include "text/transfer_encoding.h"

namespace {

using namespace rirevar;
using namespace rirevar::bench;

// A multipart/mixed message of about `size` bytes, as the POP3 client hands it on (lines without
// their CR LF): 40 % Japanese text, 60 % a Base64 attachment in lines of 76 characters.
std::vector<std::string> Message(const std::string& corpus, std::size_t size) {
  const std::string boundary = "----=_NextPart_000_0042_01DAB3C1.7E5F9A20";
  std::vector<std::string> lines = {
      "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <yamada@example.co.jp>",
      "To: suzuki@example.jp",
      "Subject: =?ISO-2022-JP?B?GyRCO3FOQRsoQg==?=",
      "Date: Mon, 6 May 2024 10:15:00 +0900",
      "MIME-Version: 1.0",
      "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"",
      "",
      "--" + boundary,
      "Content-Type: text/plain; charset=ISO-2022-JP",
      "Content-Transfer-Encoding: 7bit",
      "",
  };
  for (std::string& line : JapaneseLines(corpus, size * 4 / 10)) lines.push_back(std::move(line));
  lines.insert(lines.end(), {"--" + boundary, "Content-Type: application/pdf; name=\"data.pdf\"",
                             "Content-Transfer-Encoding: base64",
                             "Content-Disposition: attachment; filename=\"data.pdf\"", ""});
  const std::string encoded = EncodeBase64(BinaryBytes(size * 6 / 10 / 4 * 3));
  for (std::size_t at = 0; at < encoded.size(); at += 76) lines.push_back(encoded.substr(at, 76));
  lines.push_back("--" + boundary + "--");
  return lines;
}

std::size_t Bytes(const std::vector<std::string>& lines) {
  std::size_t total = 0;
  for (const std::string& line : lines) total += line.size() + 2;
  return total;
}

class CountingStore : public MessageStore {
 public:
  bool StoreReceived(const ReceivedHeader&, const std::string& body) override {
    bytes += body.size();
    return true;
  }
  void StoreAttachment(const std::string&, const std::string&, const std::string& content) override {
    bytes += content.size();
  }
  void Progress(int) override {}
  std::size_t bytes = 0;
};

// Best of three, in seconds; the lines are copied outside the timing, as reading takes them apart.
double Best(const std::vector<std::string>& message, const std::function<void(std::vector<std::string>&)>& run) {
  double best = 1e9;
  for (int round = 0; round < 3; ++round) {
    std::vector<std::string> lines = message;
    const auto begin = std::chrono::steady_clock::now();
    run(lines);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
    best = std::min(best, took.count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string corpusPath = argc > 1 ? argv[1] : RIREVAR_BENCH_CORPUS;
  const std::string corpus = ReadFile(corpusPath);
  if (corpus.empty()) {
    std::fprintf(stderr, "mail_bench: no corpus at %s\n", corpusPath.c_str());
    return 1;
  }
  const char* host = std::getenv("RIREVAR_TEST_DB_HOST");
  const char* user = std::getenv("RIREVAR_TEST_DB_USER");
  const bool withDatabase = host != nullptr && user != nullptr && *host != '\0' && *user != '\0';
  if (!withDatabase) {
    std::printf("RIREVAR_TEST_DB_HOST/USER unset: scan only. For the database figures start a server with\n"
                "  eval \"$(scripts/mariadb_test_server start /tmp/bench_db)\"\n"
                "and stop it afterwards with scripts/mariadb_test_server stop /tmp/bench_db\n\n");
  }
  std::optional<Scratch> scratch;
  if (withDatabase) scratch.emplace(host, user, RIREVAR_INITTBL);
  std::ostringstream headerLog;
  ReceiveRunState runState;
  const Settings settings;

  std::printf("%8s %10s %14s %20s\n", "size", "lines", "scan MB/s", "scan+database MB/s");
  for (const std::size_t megabytes : {1, 5, 10}) {
    const std::vector<std::string> message = Message(corpus, megabytes * kMegabyte);
    const double size = static_cast<double>(Bytes(message)) / kMegabyte;
    std::size_t stored = 0;
    const double scan = Best(message, [&](std::vector<std::string>& lines) {
      CountingStore store;
      const ReceivedHeader header = ReadMessageHeader(lines);
      StoreMessageParts(header, lines, store);
      stored = store.bytes;
    });
    if (stored < Bytes(message) / 2) {
      std::fprintf(stderr, "mail_bench: the message was not read whole\n");
      return 1;
    }
    std::printf("%5.1f MB %10zu %14.1f", size, message.size(), size / scan);
    if (scratch) {
      const double both = Best(message, [&](std::vector<std::string>& lines) {
        const int id = NextMessageId(scratch->db);
        const ReceivedHeader header = ReadMessageHeader(lines);
        ReceivedStore store(scratch->db, runState, settings, scratch->tenpDir, headerLog, id,
                            [](int, const std::string&) {}, [](int) {});
        StoreMessageParts(header, lines, store);
        store.Commit();
      });
      std::printf(" %20.1f", size / both);
    }
    std::printf("\n");
    std::fflush(stdout);
  }
  return 0;
}
