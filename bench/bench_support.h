// What the benchmarks share: the corpus of Japanese prose, binary bytes, a scratch database.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/database.h"
#include "app/init_script.h"
#include "text/jconvert.h"
#include "text/sjis_unicode.h"

namespace rirevar::bench {

constexpr std::size_t kMegabyte = 1024 * 1024;

inline std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream all;
  all << file.rdbuf();
  return all.str();
}

// The corpus's own code, for JapaneseLines.
constexpr int kUtf8 = -1;

// The prose as lines without line ends in the Japanese code `code` (ISO-2022-JP unless asked, or
// kUtf8), as many as make `size` bytes, starting at the first line after byte `from` of the corpus.
inline std::vector<std::string> JapaneseLines(const std::string& corpus, std::size_t size, int code = CODE_JIS,
                                              std::size_t from = 0) {
  std::vector<std::string> lines;
  std::size_t total = 0;
  std::size_t start = from == 0 ? 0 : corpus.find('\n', from % corpus.size()) + 1;
  while (total < size) {
    if (start >= corpus.size()) start = 0;
    std::size_t end = corpus.find('\n', start);
    if (end == std::string::npos) end = corpus.size();
    std::string line = corpus.substr(start, end - start);
    if (code != kUtf8) line = Utf8ToSjisTyped(line);
    if (code != kUtf8 && code != CODE_SJIS) line = ConvertJCode(line, code);
    start = end + 1;
    total += line.size() + 2;
    lines.push_back(std::move(line));
  }
  return lines;
}

// Bytes like a compressed file's.
inline std::string BinaryBytes(std::size_t size, std::uint32_t seed = 2463534242u) {
  std::string bytes(size, '\0');
  std::uint32_t state = seed;
  for (char& c : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    c = static_cast<char>(state);
  }
  return bytes;
}

// A scratch database made by the table script, and an attachment directory, both removed at the end.
class Scratch {
 public:
  Scratch(const char* host, const char* user, const std::string& scriptPath) {
    ConnectionParameters parameters{host, "", user, ""};
    name_ = "rirevar_bench_" + std::to_string(getpid()) + "_" + std::to_string(++count_);
    admin_.Open(parameters);
    admin_.Execute("create database " + name_);
    parameters.database = name_;
    db.Open(parameters);
    const std::string script = ReadFile(scriptPath);
    if (script.empty()) throw std::runtime_error("no table script at " + scriptPath);
    for (const std::string& statement : ScriptStatements(script)) db.Execute(statement);
    char pattern[] = "/tmp/rirevar_bench_tenp_XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("cannot make an attachment directory");
    tenpDir = pattern;
  }
  ~Scratch() {
    db.Close();
    admin_.Execute("drop database if exists " + name_);
    std::filesystem::remove_all(tenpDir);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  Connection db;
  std::string tenpDir;

 private:
  inline static int count_ = 0;
  std::string name_;
  Connection admin_;
};

}  // namespace rirevar::bench
