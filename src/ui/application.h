// The application object: an exception that escapes a handler is shown in the application's
// exception box instead of ending the program.
#pragma once

#include <QApplication>
#include <exception>

namespace rirevar {

class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // The help file, by name only; the help command shows its contents.
  QString HelpFile;
};

// The application's exception box: the message, with the program's name as caption and the stop
// icon. An exception that carries no message of the system's shows an empty message.
void ShowException(const std::exception_ptr& error);

}  // namespace rirevar
