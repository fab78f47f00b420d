// Every dialog a handler shows goes through the dialog host: production shows the real dialog,
// tests install a scripted host that records each prompt and gives the next answer.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>

#include "app/settings.h"

class QDialog;
class QWidget;

namespace rirevar {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Warning, Stop, Question };
enum class DialogAnswer { Ok, Cancel, Yes, No };

class DialogHost {
 public:
  virtual ~DialogHost() = default;
  virtual DialogAnswer MessageBox(const QString& text, const QString& caption, MessageButtons buttons,
                                  MessageIcon icon) = 0;
  // Runs the dialog modally; its result code (QDialog::Accepted or Rejected).
  virtual int ShowModal(QDialog& dialog) = 0;
  virtual std::optional<QString> OpenFileName(const QString& caption, const QString& directory,
                                              const QString& filter) = 0;
  virtual std::optional<QString> SaveFileName(const QString& caption, const QString& suggested,
                                              const QString& filter) = 0;
  // Lets the user change `font` (and its colour); false when cancelled.
  virtual bool ChooseFont(FontSpec& font) = 0;
  // A colour in the settings' form (0x00BBGGRR, or negative for a system colour).
  virtual std::optional<std::int32_t> ChooseColor(std::int32_t initial) = 0;
};

// The host in use; the real one unless a test installed another.
DialogHost& Dialogs();
// Installs `host` (tests); nullptr puts the real one back.
void SetDialogHost(std::unique_ptr<DialogHost> host);

}  // namespace rirevar
