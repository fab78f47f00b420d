// The message window, in which messages are written, edited and read.
#pragma once

#include <QMainWindow>

#include "ui/window_settings.h"

class QAction;
class QMenu;
class QPlainTextEdit;

namespace rirevar {

class TFrmMeg1 : public QMainWindow {
  Q_OBJECT

 public:
  TFrmMeg1();

  QPlainTextEdit* Memo1;
  QMenu* View1;
  QAction* mnWrap;
  ControlFont Memo1Font;

 public slots:
  void mnWrapClick();
};

inline TFrmMeg1* FrmMeg1 = nullptr;

}  // namespace rirevar
