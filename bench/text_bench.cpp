// Throughput of the text layer's conversions against glibc iconv (in process) and nkf (as a
// command, start-up included) on the same real Japanese prose, measured in one run.
//
//   build/bench/text_bench [corpus]     (default: build/corpus/manpages-ja.txt)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <unistd.h>

#include "iconv_reference.h"
#include "text/incoming_text.h"
#include "text/jconvert.h"

namespace {

using namespace rirevar;

// Stops the run where the machine lacks a conversion.
class Iconv : public test::IconvReference {
 public:
  Iconv(const char* from, const char* to) : IconvReference(from, to) {
    if (!ok()) {
      std::fprintf(stderr, "text_bench: iconv has no %s -> %s\n", from, to);
      std::exit(1);
    }
  }
};

std::string ReadFile(const char* path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream all;
  all << file.rdbuf();
  return all.str();
}

// The corpus in four forms, keeping only the lines that every form (and so every converter
// measured) can carry, so that each side converts the same characters.
struct Inputs {
  std::string utf8, sjis, jis, euc;
};

Inputs MakeInputs(const std::string& corpus) {
  Iconv toSjis("UTF-8", "CP932");
  Iconv toJis("CP932", "ISO-2022-JP");
  Iconv toEuc("CP932", "EUC-JP");
  Inputs inputs;
  std::size_t start = 0;
  while (start < corpus.size()) {
    std::size_t end = corpus.find('\n', start);
    end = end == std::string::npos ? corpus.size() : end + 1;
    const std::string_view line(corpus.data() + start, end - start);
    start = end;
    const auto sjis = toSjis(line);
    if (!sjis) continue;
    // Half-width kana take another path in each converter; the prose has next to none.
    const auto jis = toJis(*sjis);
    const auto euc = toEuc(*sjis);
    if (!jis || !euc) continue;
    inputs.utf8 += line;
    inputs.sjis += *sjis;
    inputs.jis += *jis;
    inputs.euc += *euc;
  }
  return inputs;
}

// Best of `rounds` wall-clock times of `run`, in megabytes of input per second.
double MegabytesPerSecond(std::size_t inputBytes, int rounds, const std::function<void()>& run) {
  double best = 1e30;
  for (int r = 0; r < rounds; ++r) {
    const auto begin = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
    best = std::min(best, took.count());
  }
  return inputBytes / best / 1e6;
}

std::string WriteTemp(const std::string& bytes) {
  char name[] = "/tmp/text_bench.XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) {
    std::perror("text_bench: mkstemp");
    std::exit(1);
  }
  if (write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    std::perror("text_bench: write");
    std::exit(1);
  }
  close(fd);
  return name;
}

bool HaveNkf() { return std::system("command -v nkf >/dev/null 2>&1") == 0; }

double NkfMegabytesPerSecond(const std::string& input, const char* flags) {
  const std::string path = WriteTemp(input);
  const std::string command = std::string("nkf ") + flags + " " + path + " >/dev/null";
  const double rate = MegabytesPerSecond(input.size(), 3, [&] {
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "text_bench: %s failed\n", command.c_str());
  });
  std::remove(path.c_str());
  return rate;
}

volatile std::size_t sink;  // keeps the results alive

void Row(const char* path, double ours, double iconvRate, double nkfRate) {
  std::printf("%-34s %9.1f %9.1f %9s %7.2fx\n", path, ours, iconvRate,
              nkfRate > 0 ? std::to_string(static_cast<int>(nkfRate + 0.5)).c_str() : "-", ours / iconvRate);
}

}  // namespace

int main(int argc, char** argv) {
  const char* corpusPath = argc > 1 ? argv[1] : "build/corpus/manpages-ja.txt";
  const std::string corpus = ReadFile(corpusPath);
  if (corpus.size() < 8'000'000) {
    std::fprintf(stderr, "text_bench: %s holds %zu bytes; at least 8 MB of Japanese prose needed\n",
                 corpusPath, corpus.size());
    return 1;
  }
  const Inputs in = MakeInputs(corpus);
  const bool nkf = HaveNkf();
  constexpr int kRounds = 5;
  std::printf("input: %s, %zu bytes UTF-8 / %zu Shift-JIS / %zu JIS / %zu EUC-JP\n", corpusPath,
              in.utf8.size(), in.sjis.size(), in.jis.size(), in.euc.size());
  std::printf("MB/s of input, best of %d (nkf: best of 3, a process per run)\n", kRounds);
  std::printf("%-34s %9s %9s %9s %8s\n", "path", "rirevar", "iconv", "nkf", "vs iconv");

  Iconv utf8ToSjis("UTF-8", "CP932");
  Iconv sjisToJis("CP932", "ISO-2022-JP");
  Iconv jisToSjis("ISO-2022-JP", "CP932");
  Iconv eucToSjis("EUC-JP", "CP932");

  // A fast wrong answer is no answer: each path must give what iconv gives.
  const auto check = [](const char* path, const std::string& ours, const std::optional<std::string>& ref) {
    if (!ref || ours != *ref) {
      std::fprintf(stderr, "text_bench: %s does not agree with iconv\n", path);
      std::exit(1);
    }
  };
  std::string converted = in.utf8;
  TextToSjis(converted);
  check("UTF-8 -> Shift-JIS", converted, utf8ToSjis(in.utf8));
  // Our JIS ends kanji runs with ESC ( J where iconv writes ESC ( B: compare the text they carry.
  check("Shift-JIS -> JIS", jis2sjis(ConvertJCode(in.sjis, CODE_JIS)), jis2sjis(*sjisToJis(in.sjis)));
  converted = in.jis;
  TextToSjis(converted);
  check("JIS -> Shift-JIS", converted, jisToSjis(in.jis));
  converted = in.euc;
  TextToSjis(converted);
  check("EUC-JP -> Shift-JIS", converted, eucToSjis(in.euc));
  check("EUC-JP -> Shift-JIS (ConvertJCode)", ConvertJCode(in.euc, CODE_SJIS), eucToSjis(in.euc));

  const auto textToSjis = [](const std::string& input) {
    std::string text = input;
    TextToSjis(text);
    sink = text.size();
  };
  Row("UTF-8 -> Shift-JIS (TextToSjis)",
      MegabytesPerSecond(in.utf8.size(), kRounds, [&] { textToSjis(in.utf8); }),
      MegabytesPerSecond(in.utf8.size(), kRounds, [&] { sink = utf8ToSjis(in.utf8)->size(); }),
      nkf ? NkfMegabytesPerSecond(in.utf8, "-W -s -x") : 0);
  Row("Shift-JIS -> JIS (ConvertJCode)",
      MegabytesPerSecond(in.sjis.size(), kRounds, [&] { sink = ConvertJCode(in.sjis, CODE_JIS).size(); }),
      MegabytesPerSecond(in.sjis.size(), kRounds, [&] { sink = sjisToJis(in.sjis)->size(); }),
      nkf ? NkfMegabytesPerSecond(in.sjis, "-S -j -x") : 0);
  Row("JIS -> Shift-JIS (TextToSjis)",
      MegabytesPerSecond(in.jis.size(), kRounds, [&] { textToSjis(in.jis); }),
      MegabytesPerSecond(in.jis.size(), kRounds, [&] { sink = jisToSjis(in.jis)->size(); }),
      nkf ? NkfMegabytesPerSecond(in.jis, "-J -s -x") : 0);
  Row("JIS -> Shift-JIS (ConvertJCode)",
      MegabytesPerSecond(in.jis.size(), kRounds, [&] { sink = ConvertJCode(in.jis, CODE_SJIS).size(); }),
      MegabytesPerSecond(in.jis.size(), kRounds, [&] { sink = jisToSjis(in.jis)->size(); }), 0);
  Row("EUC-JP -> Shift-JIS (TextToSjis)",
      MegabytesPerSecond(in.euc.size(), kRounds, [&] { textToSjis(in.euc); }),
      MegabytesPerSecond(in.euc.size(), kRounds, [&] { sink = eucToSjis(in.euc)->size(); }),
      nkf ? NkfMegabytesPerSecond(in.euc, "-E -s -x") : 0);
  Row("EUC-JP -> Shift-JIS (ConvertJCode)",
      MegabytesPerSecond(in.euc.size(), kRounds, [&] { sink = ConvertJCode(in.euc, CODE_SJIS).size(); }),
      MegabytesPerSecond(in.euc.size(), kRounds, [&] { sink = eucToSjis(in.euc)->size(); }), 0);
  return 0;
}
