#include "receive/error_log.h"

#include <fstream>
#include <iostream>

#include "app/local_time.h"

namespace rirevar {

bool WriteErrorLog(const std::string& path, const std::string& account, const std::string& text) {
  std::string line = DateTimeText(LocalNow()) + " " + account + ": ";
  for (const char c : text) line += c == '\r' || c == '\n' ? ' ' : c;
  std::ofstream log(path, std::ios::binary | std::ios::app);
  log << line << "\r\n";
  log.close();
  if (log) return true;
  std::cerr << "rirevar: cannot write the error log " << path << ": " << line << '\n';
  return false;
}

}  // namespace rirevar
