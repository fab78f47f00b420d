// The one-line input; its caller sets the caption (the question).
#pragma once

#include <QDialog>

namespace rirevar {

class TFrmInput : public QDialog {
  Q_OBJECT

 public:
  TFrmInput();
};

inline TFrmInput* FrmInput = nullptr;

}  // namespace rirevar
