// The condition editor: one text area that the rules, folder conditions, searches, signatures,
// message headers and SQL tests are edited in.
#pragma once

#include <QWidget>

#include "ui/window_settings.h"

class QPlainTextEdit;

namespace rirevar {

class TFrmMemo : public QWidget {
  Q_OBJECT

 public:
  TFrmMemo();

  QPlainTextEdit* Memo1;
  ControlFont Memo1Font;
};

inline TFrmMemo* FrmMemo = nullptr;

}  // namespace rirevar
