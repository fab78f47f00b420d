// The local date and time, and the one text form the system writes it in ("yyyy-mm-dd hh:nn:ss"):
// database dates and the error log.
#pragma once

#include <ctime>
#include <string>

namespace rirevar {

[[nodiscard]] std::tm LocalNow();
[[nodiscard]] std::string DateTimeText(const std::tm& time);

}  // namespace rirevar
