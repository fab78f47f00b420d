// The statements of the table initialisation script, cut the way the database dialog sends them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rirevar {

// The script is cut into lines (CR LF, LF or CR). The lines of a statement are joined without any
// separator; a line holding ";" loses its first ";" and ends the statement. Text after the last
// such line is no statement.
[[nodiscard]] std::vector<std::string> ScriptStatements(std::string_view scriptText);

}  // namespace rirevar
