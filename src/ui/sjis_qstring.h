// The one place where the system's Shift-JIS text meets Qt's strings.
#pragma once

#include <QString>
#include <string>

namespace rirevar {

[[nodiscard]] QString ToQ(const std::string& sjis);
[[nodiscard]] std::string FromQ(const QString& text);

}  // namespace rirevar
