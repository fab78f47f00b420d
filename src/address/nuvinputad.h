// The address entry dialog; its caller sets the caption.
#pragma once

#include <QDialog>

namespace rirevar {

class TFrmInputAd : public QDialog {
  Q_OBJECT

 public:
  TFrmInputAd();
};

inline TFrmInputAd* FrmInputAd = nullptr;

}  // namespace rirevar
