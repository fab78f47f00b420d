#include "receive/sorting_rules.h"

#include <charconv>

namespace rirevar {
namespace {

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool IsTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

std::size_t CharLength(std::string_view text, std::size_t at) {
  const bool pair = at + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[at])) &&
                    IsTrailByte(static_cast<unsigned char>(text[at + 1]));
  return pair ? 2 : 1;
}

// "p" and "o" are trail bytes of Shift-JIS characters too, so a match may only start on a
// character.
bool ContainsText(std::string_view text, std::string_view part) {
  if (part.empty()) return true;
  for (std::size_t at = 0; at + part.size() <= text.size(); at += CharLength(text, at)) {
    if (text.compare(at, part.size(), part) == 0) return true;
  }
  return false;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

int FolderNumber(std::string_view target, std::string_view rule) {
  while (!target.empty() && target.front() == ' ') target.remove_prefix(1);
  int number = 0;
  const auto [end, error] = std::from_chars(target.data(), target.data() + target.size(), number);
  if (target.empty() || error != std::errc() || end != target.data() + target.size()) {
    throw SortingRuleError("'" + std::string(target) + "' is not a folder number in the rule: " + std::string(rule));
  }
  return number;
}

}  // namespace

void ApplySortingRules(Connection& connection, const Settings& settings, int id, const PopupSeam& popup) {
  const std::string idText = std::to_string(id);
  // Copied: the popup seam may reach code that edits the settings.
  const std::vector<std::string> lines = settings.Lines();
  for (const std::string& line : lines) {
    if (!line.starts_with("Div")) continue;
    const std::size_t equals = line.find('=');
    const std::string_view value = equals == std::string::npos ? std::string_view(line) : std::string_view(line).substr(equals + 1);
    const std::size_t arrows = value.find(">>");
    if (arrows == std::string_view::npos) continue;
    const std::string_view condition = TrimBlanks(value.substr(0, arrows));
    // One character after ">>" is the separator, whatever it is.
    const std::string_view target = value.substr(std::min(arrows + 3, value.size()));
    const std::string restriction = condition.empty() ? "" : " and (" + std::string(condition) + ")";
    if (ContainsText(target, "pop")) {
      const ResultSet rows = connection.Query("select subject from mail where m_id=" + idText + restriction);
      if (rows.RowCount() == 1 && popup) popup(id, rows.Text(0, 0));
      continue;
    }
    const int folder = FolderNumber(target, value);
    if (connection.Execute("update mail set d_id=" + std::to_string(folder) + " where m_id=" + idText + restriction) > 0) {
      return;
    }
  }
}

bool MatchesDeleteFilter(const Settings& settings, std::string_view subject) {
  for (int n = 1;; ++n) {
    const std::string filter = settings.Value("DelFilter" + std::to_string(n));
    if (filter.empty()) return false;
    if (ContainsText(subject, filter)) return true;
  }
}

std::string DeleteFilteredEntry(std::string_view subject) { return "\x81\x9A" + std::string(subject); }

}  // namespace rirevar
