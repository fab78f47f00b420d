// Program entry: the data module, then every window once, in this order, then the message loop.
#include <exception>

#include "app/rirevar1.h"
#include "app/startup.h"
#include "ui/application.h"

int main(int argc, char** argv) {
  using namespace rirevar;
  Application application(argc, argv);
  application.HelpFile = QStringLiteral("rirevar.hlp");
  // Closing the main window ends the program, whatever other windows are open.
  application.setQuitOnLastWindowClosed(false);
  try {
    CreateWindows();
    QObject::connect(FrmNuv, &TFrmNuv::Closed, &application, &QApplication::quit);
    FrmNuv->show();
    Application::exec();
  } catch (...) {
    ShowException(std::current_exception());
  }
  return 0;
}
