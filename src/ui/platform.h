// The rest of the platform a handler touches: opening a file with its program, starting a command
// line, and the state of the Ctrl and Alt keys. Each can be replaced in tests.
#pragma once

#include <QString>
#include <memory>

namespace rirevar {

class Platform {
 public:
  virtual ~Platform() = default;
  // Opens a file or address with the program the desktop associates with it; false on failure.
  virtual bool OpenWithShell(const QString& path) = 0;
  // Starts a command line as a new process, without waiting; false when it cannot start.
  virtual bool StartCommandLine(const QString& commandLine) = 0;
  [[nodiscard]] virtual bool CtrlDown() const = 0;
  [[nodiscard]] virtual bool AltDown() const = 0;
};

Platform& System();
// Installs `platform` (tests); nullptr puts the real one back.
void SetPlatform(std::unique_ptr<Platform> platform);

}  // namespace rirevar
