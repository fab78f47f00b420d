// The font and colour chooser.
#pragma once

#include <QDialog>

namespace rirevar {

class TFrmFont : public QDialog {
  Q_OBJECT

 public:
  TFrmFont();
};

inline TFrmFont* FrmFont = nullptr;

}  // namespace rirevar
