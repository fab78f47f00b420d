// nuvini: reads and writes keys of a settings file "nuv.ini" by the program's own rules, for the
// scripts that set up a new user (scripts/run writes the database of its private server).
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/default_settings.h"
#include "app/settings.h"
#include "text/sjis_unicode.h"

namespace {

using namespace rirevar;

constexpr char kUsage[] =
    "usage: nuvini get FILE KEY\n"
    "       nuvini set FILE KEY VALUE [KEY VALUE ...]\n"
    "  set starts a missing FILE from the first-start settings of the directory it lies in;\n"
    "  a DBPasswd value is given in plain text and stored scrambled, as the database dialog does.\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "nuvini: %s\n", message.c_str());
  return 1;
}

// The absolute directory of the file, with its trailing "/", in Shift-JIS as the settings keep
// paths (the program writes the directory of its executable the same way).
std::string DirectoryOf(const std::string& path) {
  return Utf8ToSjisTyped(std::filesystem::absolute(path).parent_path().string() + "/");
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 3 && args[0] == "get") {
    std::string error;
    const auto settings = ReadSettingsFile(args[1], error);
    if (!error.empty()) return Fail(error);
    if (settings) std::fputs((settings->Value(args[2]) + "\n").c_str(), stdout);
    return 0;
  }
  if (args.size() < 4 || args[0] != "set" || args.size() % 2 != 0) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string& path = args[1];
  std::string error;
  std::optional<Settings> loaded = ReadSettingsFile(path, error);
  if (!error.empty()) return Fail(error);
  Settings settings;
  if (loaded) {
    settings = std::move(*loaded);
  } else {
    WriteDefaultSettings(settings, DirectoryOf(path));
  }
  const std::string* password = nullptr;
  for (std::size_t i = 2; i < args.size(); i += 2) {
    if (args[i] == "DBPasswd") {
      password = &args[i + 1];
    } else {
      settings.SetValue(args[i], args[i + 1]);
    }
  }
  if (password != nullptr) {
    settings.SetValue("DBPasswd", ScramblePassword(*password, PasswordStart(settings.Value("DBName"))));
  }
  if (!WriteSettingsFile(path, settings, error)) return Fail(error);
  return 0;
}
