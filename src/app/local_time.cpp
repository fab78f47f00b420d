#include "app/local_time.h"

namespace rirevar {

std::tm LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

std::string DateTimeText(const std::tm& time) {
  char text[32];
  return std::string(text, std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &time));
}

}  // namespace rirevar
