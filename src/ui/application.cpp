#include "ui/application.h"

#include <QString>

#include "ui/dialog_host.h"

namespace rirevar {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("rirevar");
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ShowException(std::current_exception());
    return false;
  }
}

void ShowException(const std::exception_ptr& error) {
  QString message;
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    message = QString::fromUtf8(e.what());
  } catch (...) {
  }
  Dialogs().MessageBox(message, QStringLiteral("rirevar"), MessageButtons::Ok, MessageIcon::Stop);
}

}  // namespace rirevar
