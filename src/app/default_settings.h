// The settings a first start writes when there is no settings file.
#pragma once

#include <string>

#include "app/settings.h"

namespace rirevar {

// `directory` is the directory of the executable, with its trailing "/" (Shift-JIS bytes).
void WriteDefaultSettings(Settings& settings, const std::string& directory);
// The mail list's columns: field names and widths in pixels.
void WriteDefaultMailColumns(Settings& settings);

}  // namespace rirevar
