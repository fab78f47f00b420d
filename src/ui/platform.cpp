#include "ui/platform.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

namespace rirevar {

namespace {

class DesktopPlatform : public Platform {
 public:
  bool OpenWithShell(const QString& path) override {
    if (path.isEmpty()) return false;
    // An existing file wins over a name that merely looks like an address ("a:b.txt").
    const QUrl url(path);
    if (!QFileInfo::exists(path) && url.isValid() && !url.scheme().isEmpty()) {
      return QDesktopServices::openUrl(url);
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
  }

  bool StartCommandLine(const QString& commandLine) override {
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty()) return false;
    const QString program = arguments.takeFirst();
    return QProcess::startDetached(program, arguments);
  }

  bool CtrlDown() const override { return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier); }

  bool AltDown() const override { return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier); }
};

std::unique_ptr<Platform>& Installed() {
  static std::unique_ptr<Platform> installed;
  return installed;
}

}  // namespace

Platform& System() {
  if (Installed()) return *Installed();
  static DesktopPlatform desktop;
  return desktop;
}

void SetPlatform(std::unique_ptr<Platform> platform) { Installed() = std::move(platform); }

}  // namespace rirevar
