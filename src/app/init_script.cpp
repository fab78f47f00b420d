#include "app/init_script.h"

namespace rirevar {

std::vector<std::string> ScriptStatements(std::string_view scriptText) {
  std::vector<std::string> statements;
  std::string statement;
  std::size_t pos = 0;
  while (pos < scriptText.size()) {
    const std::size_t end = scriptText.find_first_of("\r\n", pos);
    std::string line(scriptText.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
    if (end == std::string_view::npos) {
      pos = scriptText.size();
    } else {
      pos = end + 1;
      if (scriptText[end] == '\r' && pos < scriptText.size() && scriptText[pos] == '\n') ++pos;
    }
    const std::size_t semicolon = line.find(';');
    if (semicolon == std::string::npos) {
      statement += line;
      continue;
    }
    line.erase(semicolon, 1);
    statement += line;
    statements.push_back(std::move(statement));
    statement.clear();
  }
  return statements;
}

}  // namespace rirevar
