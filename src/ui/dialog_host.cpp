#include "ui/dialog_host.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>
#include <QScreen>
#include <cmath>

#include "ui/font_mapping.h"
#include "ui/sjis_qstring.h"

namespace rirevar {

namespace {

QMessageBox::StandardButtons ToQButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return QMessageBox::Ok;
    case MessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon ToQIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::None:
      return QMessageBox::NoIcon;
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Stop:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

// A box closed without a button (Escape, the close box) answers what its escape button would.
DialogAnswer ClosedAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return DialogAnswer::Ok;
    case MessageButtons::YesNo:
      return DialogAnswer::No;
    case MessageButtons::OkCancel:
    case MessageButtons::YesNoCancel:
      return DialogAnswer::Cancel;
  }
  return DialogAnswer::Cancel;
}

// The height the settings keep beside the point size: the character height in pixels, negative.
int CharacterHeight(int pointSize) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
  return -static_cast<int>(std::lround(pointSize * dpi / 72.0));
}

class QtDialogHost : public DialogHost {
 public:
  DialogAnswer MessageBox(const QString& text, const QString& caption, MessageButtons buttons,
                          MessageIcon icon) override {
    QMessageBox box(ToQIcon(icon), caption, text, ToQButtons(buttons), QApplication::activeWindow());
    // Messages quote addresses and SQL ("<a@b>", "x < 3"), which must not be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
      case QMessageBox::Ok:
        return DialogAnswer::Ok;
      case QMessageBox::Cancel:
        return DialogAnswer::Cancel;
      case QMessageBox::Yes:
        return DialogAnswer::Yes;
      case QMessageBox::No:
        return DialogAnswer::No;
      default:
        return ClosedAnswer(buttons);
    }
  }

  int ShowModal(QDialog& dialog) override { return dialog.exec(); }

  std::optional<QString> OpenFileName(const QString& caption, const QString& directory,
                                      const QString& filter) override {
    return Chosen(QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, directory, filter));
  }

  std::optional<QString> SaveFileName(const QString& caption, const QString& suggested,
                                      const QString& filter) override {
    return Chosen(QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, suggested, filter));
  }

  bool ChooseFont(FontSpec& font) override {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, ToQFont(font), QApplication::activeWindow());
    if (!ok) return false;
    const int size = chosen.pointSize() > 0 ? chosen.pointSize() : QFontInfo(chosen).pointSize();
    font.name = FromQ(chosen.family());
    font.size = size;
    font.height = CharacterHeight(size);
    return true;
  }

  std::optional<std::int32_t> ChooseColor(std::int32_t initial) override {
    const QColor chosen = QColorDialog::getColor(ToQColor(initial), QApplication::activeWindow());
    if (!chosen.isValid()) return std::nullopt;
    return static_cast<std::int32_t>(chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16));
  }

 private:
  static std::optional<QString> Chosen(const QString& fileName) {
    if (fileName.isEmpty()) return std::nullopt;
    return fileName;
  }
};

std::unique_ptr<DialogHost>& Installed() {
  static std::unique_ptr<DialogHost> installed;
  return installed;
}

}  // namespace

DialogHost& Dialogs() {
  if (Installed()) return *Installed();
  static QtDialogHost real;
  return real;
}

void SetDialogHost(std::unique_ptr<DialogHost> host) { Installed() = std::move(host); }

}  // namespace rirevar
