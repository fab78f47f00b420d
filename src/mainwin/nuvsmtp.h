// The mailer settings.
#pragma once

#include <QDialog>

namespace rirevar {

class TFrmSmtp : public QDialog {
  Q_OBJECT

 public:
  TFrmSmtp();
};

inline TFrmSmtp* FrmSmtp = nullptr;

}  // namespace rirevar
