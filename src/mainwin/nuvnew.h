// The new-mail window: one line for each message received, and the receive progress below.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

class QAction;
class QListWidget;
class QMenuBar;
class QStatusBar;

namespace rirevar {

class TFrmNew : public QWidget {
  Q_OBJECT

 public:
  TFrmNew();

  QMenuBar* MainMenu1;
  QAction* N1;
  QAction* N3;
  QListWidget* ListBox1;
  QStatusBar* StatusBar1;
  // Parallel to the lines: the m_id of each, "-1" for a line that stands for no message.
  std::vector<std::string> MailIds;

  void AddEntry(int mailId, const QString& text);

 public slots:
  void N1Click();
  void N3Click();
};

inline TFrmNew* FrmNew = nullptr;

}  // namespace rirevar
