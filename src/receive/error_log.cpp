#include "receive/error_log.h"

#include <ctime>
#include <fstream>
#include <iostream>

namespace rirevar {

bool WriteErrorLog(const std::string& path, const std::string& account, const std::string& text) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::string line(stamp, std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S ", &local));
  line += account + ": ";
  for (const char c : text) line += c == '\r' || c == '\n' ? ' ' : c;
  std::ofstream log(path, std::ios::binary | std::ios::app);
  log << line << "\r\n";
  log.close();
  if (log) return true;
  std::cerr << "rirevar: cannot write the error log " << path << ": " << line << '\n';
  return false;
}

}  // namespace rirevar
