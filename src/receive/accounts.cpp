#include "receive/accounts.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>

namespace rirevar {

namespace {

// The number n of an account key "Pop" + n in any letter case.
std::optional<int> AccountNumber(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos || equals <= 3) return std::nullopt;
  const std::string_view name = line.substr(0, equals);
  auto lower = [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); };
  if (lower(name[0]) != 'p' || lower(name[1]) != 'o' || lower(name[2]) != 'p') return std::nullopt;
  int number = 0;
  const auto [end, error] = std::from_chars(name.data() + 3, name.data() + name.size(), number);
  if (error != std::errc() || end != name.data() + name.size() || number < 0) return std::nullopt;
  return number;
}

}  // namespace

std::vector<std::string> LoadAccounts(const Settings& settings) {
  std::map<int, std::string> byNumber;
  for (const std::string& line : settings.Lines()) {
    const auto number = AccountNumber(line);
    if (!number || byNumber.count(*number) != 0) continue;  // the first line of a key counts
    const std::string value = line.substr(line.find('=') + 1);
    if (!value.empty()) byNumber.emplace(*number, value);
  }
  std::vector<std::string> accounts;
  for (auto& [number, value] : byNumber) accounts.push_back(std::move(value));
  return accounts;
}

void SaveAccounts(Settings& settings, const std::vector<std::string>& accounts) {
  auto& lines = settings.Lines();
  lines.erase(std::remove_if(lines.begin(), lines.end(), [](const std::string& line) { return line.starts_with("Pop"); }),
              lines.end());
  for (std::size_t n = 0; n < accounts.size(); ++n) settings.SetValue("Pop" + std::to_string(n), accounts[n]);
  const int written = static_cast<int>(accounts.size());
  lines.erase(std::remove_if(lines.begin(), lines.end(),
                             [&](const std::string& line) {
                               const auto number = AccountNumber(line);
                               return number && *number >= written;
                             }),
              lines.end());
}

std::vector<std::string> AccountRecords(const Settings& settings) {
  std::vector<std::string> records;
  for (const std::string& line : settings.Lines()) {
    if (!line.starts_with("Pop")) continue;
    const std::size_t equals = line.find('=');
    records.push_back(equals == std::string::npos ? std::string() : line.substr(equals + 1));
  }
  return records;
}

}  // namespace rirevar
