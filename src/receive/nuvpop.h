// The POP3 account settings.
#pragma once

#include <QDialog>

namespace rirevar {

class TFrmPop : public QDialog {
  Q_OBJECT

 public:
  TFrmPop();
};

inline TFrmPop* FrmPop = nullptr;

}  // namespace rirevar
