#include "ui/app_directory.h"

#include <QCoreApplication>

namespace rirevar {

namespace {
QString& Replacement() {
  static QString directory;
  return directory;
}
}  // namespace

QString ExecutableDirectory() {
  const QString directory =
      Replacement().isEmpty() ? QCoreApplication::applicationDirPath() : Replacement();
  return directory.endsWith('/') ? directory : directory + '/';
}

void SetExecutableDirectory(const QString& directory) { Replacement() = directory; }

}  // namespace rirevar
