// The directory of the executable, where "nuv.ini" and the working directories lie. Tests point it
// at a directory of their own.
#pragma once

#include <QString>

namespace rirevar {

// With a trailing "/".
[[nodiscard]] QString ExecutableDirectory();
// Replaces the directory (tests); an empty text puts the real one back.
void SetExecutableDirectory(const QString& directory);

}  // namespace rirevar
