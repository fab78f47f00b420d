// The program started as its entry starts it, in a directory of its own and with the scripted
// dialog host answering; stopped again after each test.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <initializer_list>
#include <memory>

#include "app/rirevar1.h"
#include "app/startup.h"
#include "ui/app_directory.h"
#include "ui/scripted_dialog_host.h"

namespace rirevar::test {

class ProgramUnderTest {
 public:
  // The directory beside the "executable": nuv.ini and inittbl.sql lie there.
  ProgramUnderTest() { SetExecutableDirectory(directory_.path()); }
  ~ProgramUnderTest() {
    DestroyWindows();
    SetDialogHost(nullptr);
    SetExecutableDirectory(QString());
  }
  ProgramUnderTest(const ProgramUnderTest&) = delete;
  ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

  [[nodiscard]] QString FilePath(const QString& name) const { return directory_.filePath(name); }
  [[nodiscard]] QString Directory() const { return directory_.path() + "/"; }
  void SetDirectory(const QString& directory) { SetExecutableDirectory(directory); }

  // Creates the windows and shows the main window, with `answers` ready for the dialogs.
  void Start(std::initializer_list<ScriptedDialogHost::Answer> answers) {
    auto host = std::make_unique<ScriptedDialogHost>();
    for (const auto& answer : answers) host->Push(answer);
    dialogs_ = host.get();
    SetDialogHost(std::move(host));
    CreateWindows();
    FrmNuv->show();
  }

  [[nodiscard]] ScriptedDialogHost& Dialogs() const { return *dialogs_; }

 private:
  QTemporaryDir directory_;
  ScriptedDialogHost* dialogs_ = nullptr;
};

}  // namespace rirevar::test
