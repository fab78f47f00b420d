// The error log: one line per failure of a receive, so that a summary such as "ｴﾗｰ2通" can be
// traced to its messages. Never a whole message, only what identifies it and the reason.
#pragma once

#include <string>

namespace rirevar {

// Appends "yyyy-mm-dd hh:nn:ss account: text" and CR LF to the file at `path` (line breaks inside
// the text become blanks). A log that cannot be written is reported on the standard error stream;
// false then.
bool WriteErrorLog(const std::string& path, const std::string& account, const std::string& text);

}  // namespace rirevar
